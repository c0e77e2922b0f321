// The event sink called directly, as the control calls it: argument arrays
// built by hand in the control's reversed, by-reference form.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>

#include <optional>
#include <string>
#include <vector>

#include "browser/browser_event.h"

namespace {

struct Posted {
    WPARAM id;
    LPARAM number;
    std::optional<std::wstring> address;
};

class BrowserEventTest : public testing::Test {
protected:
    void SetUp() override
    {
        target_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(target_, nullptr);
        setBrowserEventWindow(target_);
    }
    void TearDown() override
    {
        drain();
        setBrowserEventWindow(nullptr);
        DestroyWindow(target_);
    }

    // Takes every WM_BROWSER_EVENT queued for the target so far, with the
    // address the sink hands out for it.
    std::vector<Posted> drain()
    {
        std::vector<Posted> posted;
        MSG message;
        while (PeekMessageW(&message, target_, WM_BROWSER_EVENT, WM_BROWSER_EVENT, PM_REMOVE))
            posted.push_back({message.wParam, message.lParam, sink_.take(message.wParam, message.lParam)});
        return posted;
    }

    HRESULT invoke(DISPID id, DISPPARAMS* parameters)
    {
        return sink_.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, parameters, nullptr, nullptr,
                            nullptr);
    }

    HWND target_ = nullptr;
    BrowserEvent sink_;
};

// An event's argument array: every slot a reference to a VARIANT holding a
// BSTR, the way the control passes its string arguments.
class Arguments {
public:
    explicit Arguments(std::size_t count) : inner_(count), outer_(count)
    {
        for (std::size_t i = 0; i < count; ++i)
            set(i, (L"decoy " + std::to_wstring(i)).c_str());
    }
    ~Arguments()
    {
        for (VARIANT& v : inner_)
            VariantClear(&v);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    void set(std::size_t index, const wchar_t* text)
    {
        VariantClear(&inner_[index]);
        V_VT(&inner_[index]) = VT_BSTR;
        V_BSTR(&inner_[index]) = text ? SysAllocString(text) : nullptr;
        V_VT(&outer_[index]) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&outer_[index]) = &inner_[index];
    }
    VARIANT& slot(std::size_t index) { return outer_[index]; }
    DISPPARAMS* parameters()
    {
        parameters_ = {outer_.data(), nullptr, static_cast<UINT>(outer_.size()), 0};
        return &parameters_;
    }

private:
    std::vector<VARIANT> inner_;
    std::vector<VARIANT> outer_;
    DISPPARAMS parameters_ = {};
};

TEST_F(BrowserEventTest, EachEventTakesTheAddressFromItsOwnArgument)
{
    const struct {
        DISPID id;
        std::size_t count;
        std::size_t index;
    } events[] = {
        {browserEventBeforeNavigate2, 7, 5},
        {browserEventNavigateComplete2, 2, 0},
        {browserEventDocumentComplete, 2, 0},
        {browserEventNavigateError, 5, 3},
    };
    for (const auto& event : events) {
        SCOPED_TRACE(event.id);
        Arguments arguments(event.count);
        const std::wstring address = L"http://a.game.example/" + std::to_wstring(event.id);
        arguments.set(event.index, address.c_str());
        EXPECT_EQ(invoke(event.id, arguments.parameters()), S_OK);
        const std::vector<Posted> posted = drain();
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].id, static_cast<WPARAM>(event.id));
        EXPECT_EQ(*posted[0].address, address);
    }
}

TEST_F(BrowserEventTest, EmptyOrAbsentAddressPostsAnEmptyString)
{
    Arguments empty(7), absent(7);
    empty.set(5, L"");
    absent.set(5, nullptr);
    EXPECT_EQ(invoke(browserEventBeforeNavigate2, empty.parameters()), S_OK);
    EXPECT_EQ(invoke(browserEventBeforeNavigate2, absent.parameters()), S_OK);
    const std::vector<Posted> posted = drain();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(*posted[0].address, L"");
    EXPECT_EQ(*posted[1].address, L"");
}

// The message names an event the sink holds; only that sink hands it out,
// once, and only for the id it was raised as. A made-up message, or one of a
// sink since replaced, gets nothing.
TEST_F(BrowserEventTest, EachEventIsHandedOutOnceToItsOwnMessageOnly)
{
    Arguments arguments(2);
    arguments.set(0, L"http://a.game.example/");
    invoke(browserEventNavigateComplete2, arguments.parameters());
    invoke(browserEventDocumentComplete, arguments.parameters());
    MSG first, second;
    ASSERT_TRUE(PeekMessageW(&first, target_, WM_BROWSER_EVENT, WM_BROWSER_EVENT, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&second, target_, WM_BROWSER_EVENT, WM_BROWSER_EVENT, PM_REMOVE));
    EXPECT_NE(first.lParam, second.lParam);

    // A later page's sink raises the same event: its number is its own, so
    // neither sink hands out the other's.
    BrowserEvent later;
    later.Invoke(browserEventNavigateComplete2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments.parameters(),
                 nullptr, nullptr, nullptr);
    MSG third;
    ASSERT_TRUE(PeekMessageW(&third, target_, WM_BROWSER_EVENT, WM_BROWSER_EVENT, PM_REMOVE));
    EXPECT_NE(third.lParam, first.lParam);
    EXPECT_FALSE(later.take(first.wParam, first.lParam)) << "another sink's event";
    EXPECT_FALSE(sink_.take(third.wParam, third.lParam)) << "another sink's event";
    EXPECT_EQ(later.take(third.wParam, third.lParam), L"http://a.game.example/");

    EXPECT_FALSE(sink_.take(first.wParam, first.lParam + 1000)) << "a number never posted";
    EXPECT_FALSE(sink_.take(browserEventNavigateError, first.lParam)) << "the wrong id";
    EXPECT_FALSE(sink_.take(271, 0x1234));
    EXPECT_FALSE(takeBrowserEvent(second.wParam, second.lParam)) << "held, but by no connected sink";
    EXPECT_EQ(sink_.take(second.wParam, second.lParam), L"http://a.game.example/") << "taken out of order";
    EXPECT_EQ(sink_.take(first.wParam, first.lParam), L"http://a.game.example/");
    EXPECT_FALSE(sink_.take(first.wParam, first.lParam)) << "taken twice";
}

TEST_F(BrowserEventTest, OtherEventsPostNothing)
{
    Arguments arguments(7);
    for (DISPID id : {251, 113, 102, 104, 105, 0, -1}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(invoke(id, arguments.parameters()), S_OK);
    }
    EXPECT_TRUE(drain().empty());
}

TEST_F(BrowserEventTest, NullParametersAreRefused)
{
    EXPECT_EQ(invoke(browserEventBeforeNavigate2, nullptr), E_INVALIDARG);
    EXPECT_EQ(invoke(251, nullptr), E_INVALIDARG);
    EXPECT_TRUE(drain().empty());
}

// A short or odd argument array must not be read past its end or through
// a wrong type; the event still arrives, with no address.
TEST_F(BrowserEventTest, MalformedArgumentsGiveAnEmptyAddress)
{
    Arguments tooFew(3);
    EXPECT_EQ(invoke(browserEventBeforeNavigate2, tooFew.parameters()), S_OK);

    DISPPARAMS noArray = {nullptr, nullptr, 6, 0};
    EXPECT_EQ(invoke(browserEventBeforeNavigate2, &noArray), S_OK);

    Arguments notText(5);
    VariantClear(&notText.slot(3));
    V_VT(&notText.slot(3)) = VT_I4;
    V_I4(&notText.slot(3)) = 0x41414141;
    EXPECT_EQ(invoke(browserEventNavigateError, notText.parameters()), S_OK);

    Arguments nullReference(2);
    V_VARIANTREF(&nullReference.slot(0)) = nullptr;
    EXPECT_EQ(invoke(browserEventDocumentComplete, nullReference.parameters()), S_OK);

    const std::vector<Posted> posted = drain();
    ASSERT_EQ(posted.size(), 4u);
    for (const Posted& p : posted)
        EXPECT_EQ(*p.address, L"");
}

TEST_F(BrowserEventTest, AnswersOnlyUnknownAndDispatchWithoutCounting)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(sink_.QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDispatch*>(&sink_));
    EXPECT_EQ(sink_.QueryInterface(IID_IDispatch, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDispatch*>(&sink_));
    for (const IID* iid : {&DIID_DWebBrowserEvents2, &IID_IWebBrowser2, &IID_IConnectionPoint}) {
        object = reinterpret_cast<void*>(1);
        EXPECT_EQ(sink_.QueryInterface(*iid, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(sink_.AddRef(), 1u);
    EXPECT_EQ(sink_.Release(), 1u);
    EXPECT_EQ(sink_.Release(), 1u);
}

}  // namespace
