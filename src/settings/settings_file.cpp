#include "settings/settings_file.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "base/constants.h"

namespace {

bool isWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Reads the values of a settings file one after the other. After the first
// failure every later read fails too and leaves its field alone.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool failed() const { return failed_; }

    template <class T>
    void number(T& field)
    {
        if (failed_)
            return;
        skipWhitespace();
        std::size_t p = pos_;
        bool negative = false;
        if constexpr (std::is_signed_v<T>) {
            if (p < text_.size() && text_[p] == '-') {
                negative = true;
                ++p;
            }
        }
        const std::size_t first = p;
        std::uint64_t magnitude = 0;
        bool overflow = false;
        for (; p < text_.size() && text_[p] >= '0' && text_[p] <= '9'; ++p) {
            const unsigned digit = static_cast<unsigned>(text_[p] - '0');
            if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                overflow = true;
            else
                magnitude = magnitude * 10 + digit;
        }
        if (p == first || overflow)
            return fail();
        const auto largest = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
        if (!negative) {
            if (magnitude > largest)
                return fail();
            field = static_cast<T>(magnitude);
        } else {
            // The most negative value has no positive counterpart.
            if (magnitude > largest + 1)
                return fail();
            field = magnitude == largest + 1 ? std::numeric_limits<T>::min()
                                             : static_cast<T>(-static_cast<T>(magnitude));
        }
        pos_ = p;
    }

    void flag(bool& field)
    {
        std::uint32_t value = 0;
        number(value);
        if (failed_)
            return;
        if (value > 1)
            return fail();
        field = value == 1;
    }

    void word(std::string& field)
    {
        if (failed_)
            return;
        skipWhitespace();
        std::size_t end = pos_;
        while (end < text_.size() && !isWhitespace(text_[end]))
            ++end;
        if (end == pos_)
            return fail();
        field.assign(text_.substr(pos_, end - pos_));
        pos_ = end;
    }

    // A text line is the next line of the file that is not empty: every line
    // break before it is passed over, so a stray blank line shifts nothing.
    void line(std::wstring& field, const OemDecoder& fromOem)
    {
        if (failed_)
            return;
        while (pos_ < text_.size() && isLineBreak(text_[pos_]))
            ++pos_;
        if (pos_ >= text_.size())
            return fail();
        std::size_t end = pos_;
        while (end < text_.size() && !isLineBreak(text_[end]))
            ++end;
        field = fromOem(text_.substr(pos_, end - pos_));
        pos_ = end;
    }

private:
    void fail() { failed_ = true; }

    void skipWhitespace()
    {
        while (pos_ < text_.size() && isWhitespace(text_[pos_]))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

class Writer {
public:
    explicit Writer(const OemEncoder& toOem) : toOem_(toOem) {}

    template <class T>
    void number(T value) { line(std::to_string(value)); }
    void flag(bool value) { line(value ? "1" : "0"); }
    void line(std::string_view text)
    {
        out_.append(text);
        out_.append("\r\n");
    }
    // A line break inside a value would shift every later field, so it is
    // written as a blank. An empty value cannot be written at all: the reader
    // passes over blank lines, so `fallback` goes in its place.
    void text(std::wstring_view value, std::wstring_view fallback)
    {
        std::wstring oneLine(value.empty() ? fallback : value);
        for (wchar_t& c : oneLine)
            if (c == L'\r' || c == L'\n')
                c = L' ';
        line(toOem_(oneLine));
    }
    std::string take() { return std::move(out_); }

private:
    const OemEncoder& toOem_;
    std::string out_;
};

}  // namespace

std::string formatSettingsFile(const Settings& s, const OemEncoder& toOem)
{
    Writer w(toOem);
    w.number(std::int64_t{0});
    w.number(std::int64_t{0});
    w.number(s.clicksPeriod.get());
    w.line(s.battleLanguage);
    w.number(s.windowFlags);
    w.number(s.windowRect.left);
    w.number(s.windowRect.top);
    w.number(s.windowRect.right);
    w.number(s.windowRect.bottom);
    // The folder has a default only on the system; "." keeps a file readable.
    w.text(s.screenshotFolder, L".");
    w.text(s.dateFormat, defaultDateFormat);
    w.text(s.timeFormat, defaultTimeFormat);
    w.text(s.imageFormat, defaultImageFormat);
    w.number(s.jpegQuality);
    w.flag(s.beepOnSave);
    w.number(std::uint32_t{0});
    // An empty macro sends nothing; it is left out rather than written blank.
    std::size_t count = 0;
    for (const ChatMessage& m : s.chatMessages)
        count += !m.text.empty();
    w.number(count);
    for (const ChatMessage& m : s.chatMessages) {
        if (m.text.empty())
            continue;
        w.number(m.key);
        w.text(m.text, {});
        w.flag(m.team);
    }
    w.number(s.screenshotKey);
    w.number(s.serverButtonCount);
    return w.take();
}

bool parseSettingsFile(std::string_view file, Settings& s, const OemDecoder& fromOem)
{
    Reader r(file);
    std::int64_t reserved64 = 0;
    r.number(reserved64);
    r.number(reserved64);
    std::uint32_t clicksPeriod = s.clicksPeriod.get();
    r.number(clicksPeriod);
    r.word(s.battleLanguage);
    r.number(s.windowFlags);
    r.number(s.windowRect.left);
    r.number(s.windowRect.top);
    r.number(s.windowRect.right);
    r.number(s.windowRect.bottom);
    r.line(s.screenshotFolder, fromOem);
    r.line(s.dateFormat, fromOem);
    r.line(s.timeFormat, fromOem);
    r.line(s.imageFormat, fromOem);
    r.number(s.jpegQuality);
    r.flag(s.beepOnSave);
    std::uint32_t reserved32 = 0;
    r.number(reserved32);
    std::int32_t count = 0;
    r.number(count);
    if (!r.failed()) {
        // Only entries read completely are kept; a file that breaks off in
        // the middle of an entry loses that entry alone.
        s.chatMessages.clear();
        for (std::int32_t i = 0; i < count; ++i) {
            ChatMessage m;
            r.number(m.key);
            r.line(m.text, fromOem);
            r.flag(m.team);
            if (r.failed())
                break;
            s.chatMessages.push_back(std::move(m));
        }
    }
    r.number(s.screenshotKey);
    r.number(s.serverButtonCount);
    // Hand-edited numbers are brought into the settings sheet's ranges: the
    // period goes to the clicker's pause and the count sizes the server bar.
    s.clicksPeriod.set(std::clamp<std::uint32_t>(clicksPeriod, 1, maximumClicksPeriod));
    s.jpegQuality = std::min<std::uint32_t>(s.jpegQuality, maximumJpegQuality);
    s.serverButtonCount = std::clamp<std::uint32_t>(s.serverButtonCount, 1, maximumServerButtonCount);
    return !r.failed();
}

std::string formatAccountsFile(std::wstring_view subdomain, const OemEncoder& toOem)
{
    return toOem(subdomain) + "\r\n";
}

std::wstring parseAccountsFile(std::string_view file, const OemDecoder& fromOem)
{
    std::size_t start = 0;
    while (start < file.size() && isLineBreak(file[start]))
        ++start;
    std::size_t end = start;
    while (end < file.size() && !isLineBreak(file[end]))
        ++end;
    return fromOem(file.substr(start, end - start));
}

std::wstring generateSubdomain(const std::function<int()>& next)
{
    const int length = 7 + next() % 5;
    std::wstring label;
    for (int i = 0; i < length; ++i) {
        switch (next() % 3) {
        case 0: label.push_back(static_cast<wchar_t>(L'0' + next() % 10)); break;
        case 1: label.push_back(static_cast<wchar_t>(L'A' + next() % 26)); break;
        default: label.push_back(static_cast<wchar_t>(L'a' + next() % 26)); break;
        }
    }
    return label;
}
