// Helpers shared by the unit tests.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

// Makes a fresh, empty directory the current one for the life of the object,
// so the settings files of a test never meet those of another.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

std::optional<std::string> readBytes(const std::filesystem::path& path);

// Dispatches every message waiting for this thread.
void pumpMessages();
// Waits until a message arrives for this thread or the time is up.
void waitForMessages(unsigned long timeoutMs);
unsigned long long tickCount();

// Runs this thread's messages until done() holds or the time is up; true
// when done() held.
template <class Done>
bool pumpUntil(Done done, unsigned long timeoutMs)
{
    const unsigned long long deadline = tickCount() + timeoutMs;
    for (;;) {
        pumpMessages();
        if (done())
            return true;
        const unsigned long long now = tickCount();
        if (now >= deadline)
            return false;
        waitForMessages(static_cast<unsigned long>(deadline - now));
    }
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes);
