#pragma once
#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <oaidl.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "base/com_ptr_win.h"
#include "controls/window_win.h"

namespace lumaforge {

// What the browser may be told about its host, in the order of the document-host flags they stand for.
enum class TUserInterfaceOption {
    DisableTextSelect,
    DisableHelpMenu,
    DontUse3DBorders,
    DontUseScrollBars,
    PostponeScriptUntilActive,
    ForceOpenNewWindow,
    Reserved_OFFSCREEN,
    ForceFlatScrollBars,
    InsertDivTagOnEditMode,
    ActivateUIOnlyOnDocClick,
    ConsultBeforeRetrievingBehavior,
    CheckFontSupportsCodePage,
    DisableSubmitUrlInUTF8,
    EnableSubmitUrlInUTF8,
    EnablesFormsAutoComplete,
    ForceSameWindowNavigation,
    EmableImeLocalLanguages,
    EnableThemes,
    DisableThemes,
    DisablePicsRatings,
    DisableFrameSetBorder,
    DisablesAutoNameSpaceCorrection,
    DisableLocalFileAccess,
    DisableUntrustedProtocol,
    CheckNavigationDelegatedToHost,
    EnableRedirectNotification,
    EnableDomWindlessControls,
    EnableWindowedControls,
    ForceUserActivationOnActiveXJava,
};

// Whether Enter in editing mode starts a paragraph or a div block.
enum class TEnterMode { emFlagP, emFlagDiv };

// The document-host flag of an option. The flag 0x8000 has no option, so the later ones sit one bit higher.
constexpr DWORD UserInterfaceFlag(TUserInterfaceOption option) {
    const int index = static_cast<int>(option);
    return index <= 14 ? DWORD{1} << index : DWORD{1} << (index + 1);
}
constexpr DWORD UserInterfaceFlags(std::initializer_list<TUserInterfaceOption> options) {
    DWORD flags = 0;
    for (TUserInterfaceOption option : options)
        flags |= UserInterfaceFlag(option);
    return flags;
}
// The flags the host reports: the options' flags, plus the div flag in that enter mode.
DWORD HostInfoFlags(DWORD optionFlags, TEnterMode enterMode);

// Every browser of the program: no 3-D border, no scroll bars, themed controls.
inline constexpr DWORD kStandardBrowserFlags =
    UserInterfaceFlags({TUserInterfaceOption::DontUse3DBorders, TUserInterfaceOption::DontUseScrollBars,
                        TUserInterfaceOption::EnableThemes});

// The browser's events this program listens to. `beforeNavigate` gets the target address and answers
// whether to cancel; `documentComplete` gets the address of a finished document.
struct TBrowserEventHandlers {
    std::function<bool(const std::wstring& url)> beforeNavigate;
    std::function<void(const std::wstring& url)> documentComplete;
};
// The sink the browser's DWebBrowserEvents2 connection point calls.
ComPtr<IDispatch> MakeBrowserEventSink(TBrowserEventHandlers handlers);

// The platform's web browser control, hosted in a child window of ours that is its client site and
// document host: it answers the browser's questions about borders, scroll bars and the context menu,
// shows HTML text made in memory, and reports every navigation before it happens.
//
// Where the platform's browser has no HTML engine (Wine without Gecko) the control exists but never
// gets a document: navigations go nowhere and HTML text is kept without being shown; nothing waits.
class TWebBrowser : public Window {
public:
    TWebBrowser();
    ~TWebBrowser() override;

    // False only when the container window cannot be made; a missing browser leaves an empty box.
    bool Create(HWND parent, const RECT& bounds, DWORD optionFlags = kStandardBrowserFlags);
    bool HasBrowser() const { return static_cast<bool>(browser_); }
    IWebBrowser2* Browser() const { return browser_.Get(); }

    void Navigate(const std::string& url);
    // Shows `html` as the current document. Before any document exists the browser is sent to
    // about:blank and the text is written once that document is complete.
    void LoadHtml(const std::string& html);
    // The text of the last LoadHtml, and whether it is still waiting for a document to be written into.
    const std::string& Html() const { return html_; }
    bool HtmlWaiting() const { return htmlWaiting_; }

    // Stores the flags and makes the browser ask for the host information again.
    void SetUserInterfaceFlags(DWORD optionFlags);
    DWORD UserInterfaceFlags() const { return optionFlags_; }
    TEnterMode enterModeOnEdit = TEnterMode::emFlagDiv;

    // The context-menu decision: S_OK means handled (no menu); without it the browser shows its own.
    std::function<HRESULT(DWORD id, POINT at)> onShowContextMenu;
    // Called before every navigation with the target address; true cancels it.
    std::function<bool(const std::string& url)> onBeforeNavigate;

    // The answer that suppresses the browser's context menu.
    static HRESULT NoContextMenu(DWORD, POINT) { return S_OK; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class Site;
    friend class Site;
    void Embed();
    void Teardown();
    void Resize();
    bool WriteHtml();
    void DocumentComplete();
    bool BeforeNavigate(const std::wstring& url);

    ComPtr<Site> site_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> events_;
    DWORD eventsCookie_ = 0;
    DWORD optionFlags_ = 0;
    std::string html_;
    bool htmlWaiting_ = false;
    bool blankRequested_ = false;
};

}  // namespace lumaforge
