// The catalog load and what the user does with a row: download, cancel, install, apply, delete,
// open, and the preview request on a focus change.
#include <windows.h>
#include <shellapi.h>

#include "app/catalog.h"
#include "app/catalog_source.h"
#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "base/code_page.h"
#include "base/files_win.h"
#include "base/ini.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "install/installers_win.h"
#include "net/http_client_win.h"
#include "net/url.h"
#include "res/resource_ids.h"

namespace lumaforge {

void TFrmMain::EnsureKindCacheFolder(int kind) {
    CreateFolderPath(paths_.KindCacheFolder(kind));
}

int TFrmMain::ShowMessage(const std::string& text, TMsgKind kind) {
    const BoxOpen open(openBoxes_);
    return services_.showMessage(Handle(), text, kind);
}

void TFrmMain::LoadCatalog() {
    const std::wstring loading = strings_.Get(IDS_LOADING_CATALOG);
    for (ResourceList* list : lists_)
        list->SetPlaceholder(loading);
    StartupRequest request;
    request.catalogUrl = services_.resourceUrl + ProgramPaths::kCatalogServerPath;
    // Fetched once: the copy beside the program serves every later start.
    if (!probe_.FileExists(paths_.ApiSettingsFile()))
        request.apiUrl = services_.apiUrl + ProgramPaths::kApiServerPath;
    request.timeoutMs = services_.startupTimeoutMs;
    if (catalogKey_) {
        request.manifestUrl = services_.resourceUrl + ProgramPaths::kManifestServerPath;
        request.signatureUrl = services_.resourceUrl + ProgramPaths::kManifestSignatureServerPath;
    }
    startupFetch_ =
        std::make_unique<StartupFetch>([] { return std::make_unique<TWinHttp>(); }, dispatcher_, std::move(request),
                                       [this](StartupDownloads downloads) { CatalogArrived(downloads); });
}

void TFrmMain::CatalogArrived(const StartupDownloads& downloads) {
    catalogSettled_ = true;
    for (ResourceList* list : lists_)
        list->SetPlaceholder({});
    // Only a server that gave nothing at all, or (with a key) one whose catalog did not verify,
    // sends us to the local copy.
    SignedCatalogFiles served{downloads.catalog, downloads.manifest, downloads.signature};
    if (SplitLines(served.catalog).empty())
        served = {};
    SignedCatalogFiles local;
    ReadWholeFile(paths_.LocalCatalogFile(), local.catalog);
    if (catalogKey_) {
        ReadWholeFile(paths_.LocalManifestFile(), local.manifest);
        ReadWholeFile(paths_.LocalManifestSignatureFile(), local.signature);
    }
    CatalogChoice choice = ChooseCatalog(catalogKey_, served, local);
    if (choice.keepServed) {
        // The manifest last, so a copy cut short never verifies.
        WriteWholeFile(paths_.LocalCatalogFile(), served.catalog);
        WriteWholeFile(paths_.LocalManifestSignatureFile(), served.signature);
        WriteWholeFile(paths_.LocalManifestFile(), served.manifest);
    }
    manifest_ = std::move(choice.manifest);
    // The refusal is said after the lists are filled from the kept copy: a message box that waits
    // behind another start-up question then holds up nothing.
    const bool refused = choice.servedRefused;
    std::vector<std::string> lines = SplitLines(choice.catalog);
    if (lines.empty()) {
        if (refused)
            ShowMessage(strings_.GetUtf8(IDS_CATALOG_REFUSED), mkWarning);
        ShowMessage(strings_.GetUtf8(IDS_CANNOT_LOAD_CONFIG), mkWarning);
        return;
    }
    std::optional<Catalog> catalog = ParseCatalog(codePage_.ToUtf8(JoinLines(lines)));
    if (!catalog) {
        if (refused)
            ShowMessage(strings_.GetUtf8(IDS_CATALOG_REFUSED), mkWarning);
        ShowMessage(strings_.GetUtf8(IDS_CANNOT_LOAD_CONFIG), mkWarning);
        return;
    }
    lblStatus_->SetText(ToWide(catalog->statusText));
    FillListsFromCatalog(*catalog);
    ReapplyFilters();
    LoadHomePageAddress(downloads.api);
    if (refused)
        ShowMessage(strings_.GetUtf8(IDS_CATALOG_REFUSED), mkWarning);
}

void TFrmMain::FillListsFromCatalog(const Catalog& catalog) {
    ResourceList& themes = List(TResourceKind::Theme);
    themes.BeginUpdate();
    int total = 0;
    for (const CatalogCategory& category : catalog.themes) {
        NodeId row = themes.Tree().Add(kNoNode, RowName(category.name));
        int count = 0;
        for (const std::string& name : category.items) {
            AddResourceItem(themes, row, name);
            ++count;
        }
        // The count goes after the name cut to a row's length, so a very long name hides it.
        themes.Tree().Rename(row, RowName(FormatNameCount("%s[%d]", themes.Tree().Item(row).Name.View(), count)));
        total += count;
    }
    themes.EndUpdate();
    ListCaption(TResourceKind::Theme)
        .SetText(ToWide(FormatNameCount("%s [%d]", strings_.GetUtf8(IDS_VISUAL_STYLES), total)));

    const std::pair<TResourceKind, int> captions[] = {{TResourceKind::Cursor, IDS_CURSOR_THEMES},
                                                      {TResourceKind::Logon, IDS_LOGIN_SCREENS},
                                                      {TResourceKind::ScreenSaver, IDS_SCREEN_SAVERS},
                                                      {TResourceKind::Icon, IDS_ICON_THEMES},
                                                      {TResourceKind::Sound, IDS_SOUND_SCHEMES}};
    for (auto [kind, stringId] : captions) {
        ResourceList& list = List(kind);
        const auto& names = catalog.lists[static_cast<int>(kind)];
        list.BeginUpdate();
        for (const std::string& name : names)
            AddResourceItem(list, kNoNode, name);
        list.EndUpdate();
        ListCaption(kind).SetText(
            ToWide(FormatNameCount("%s [%d]", strings_.GetUtf8(stringId), static_cast<int>(names.size()))));
    }
}

void TFrmMain::LoadHomePageAddress(const std::optional<std::string>& served) {
    const std::string apiFile = paths_.ApiSettingsFile();
    std::string content;
    if (!ReadWholeFile(apiFile, content) && served) {
        content = JoinLines(SplitLines(*served));
        WriteWholeFile(apiFile, content);
    }
    homeBrowserUrl_ = IniValue(codePage_.ToUtf8(content), "Lumaforge", "ADHomeURL");
    if (webADHome_ && !homeBrowserUrl_.empty())
        webADHome_->Navigate(homeBrowserUrl_);
}

std::string TFrmMain::ResourceFileUrl(int kind, std::string_view name, std::string_view extension) const {
    return services_.resourceUrl +
           ProgramPaths::ResourceServerPath(kind, UrlEncode(Utf8ToUtf16(name), true, codePage_), extension);
}

void TFrmMain::OpenWithShell(const std::string& path) {
    installContext_.shellExecute("open", path, "", SW_SHOWNORMAL);
}

ResourceList* TFrmMain::ActiveList() {
    switch (pgMain_->ActivePage()) {
        case kPageThemes:
            return &List(TResourceKind::Theme);
        case kPageLogin:
            return &List(TResourceKind::Logon);
        case kPageCursor:
            return &List(TResourceKind::Cursor);
        case kPageScreen:
            return &List(TResourceKind::ScreenSaver);
        case kPageSound:
            return &List(TResourceKind::Sound);
        case kPageIcons:
            return &List(TResourceKind::Icon);
        default:
            return nullptr;
    }
}

void TFrmMain::vstThemesDblClick(ResourceList& list) {
    const NodeId node = list.FocusedNode();
    if (node == kNoNode || list.IsCategory(node))
        return;
    const int kind = list.Tag();
    const TResourceItem& row = list.Tree().Item(node);
    const std::string name(row.Name.View());
    const std::string packageFile = paths_.PackageFile(kind, name);
    if (probe_.FileExists(packageFile)) {
        if (!CachedPackageIsGenuine(list, node, packageFile))
            return;
        // An installer's error ends this action here: the row is not marked, the window reports it.
        const auto resourceKind = static_cast<TResourceKind>(kind);
        const bool installed = services_.installPackage(resourceKind, packageFile);
        if (installed && kind != static_cast<int>(TResourceKind::Logon)) {
            list.States().Installed(node);
            list.RepaintNode(node);
        }
        return;
    }
    ForgetVanishedPackage(list, node);
    switch (row.State) {
        case dsWaiting:
            downManager_->CancelTask(&list, node);
            break;
        case dsDownloading:
            if (ShowMessage(strings_.GetUtf8(IDS_CANCEL_DOWNLOAD_QUESTION), mkQuestion) == IDYES)
                downManager_->CancelTask(&list, node);
            break;
        case dsNone:
        case dsDownloaded:
        case dsFailed: {
            std::optional<FileDigest> expected = ExpectedFile(ManifestRole::Package, kind, name);
            if (catalogKey_ && !expected) {
                RefusePackage(list, node);
                break;
            }
            EnsureKindCacheFolder(kind);
            downManager_->AddTask(ResourceFileUrl(kind, name, ".zip"), packageFile, node, &list, expected);
            break;
        }
        default:
            break;
    }
}

void TFrmMain::pmiDownClick() {
    if (ResourceList* list = ActiveList())
        vstThemesDblClick(*list);
}

void TFrmMain::pmiOnlyApplyClick() {
    ResourceList* list = ActiveList();
    if (!list || list->FocusedNode() == kNoNode)
        return;
    const auto kind = static_cast<TResourceKind>(list->Tag());
    if (kind == TResourceKind::Logon || kind == TResourceKind::Icon)
        return;
    const std::string name(list->Tree().Item(list->FocusedNode()).Name.View());
    services_.applyDirectly(kind, name);
}

void TFrmMain::pmiUnInstallClick() {
    ResourceList* list = ActiveList();
    if (!list || list->FocusedNode() == kNoNode)
        return;
    const NodeId node = list->FocusedNode();
    const UninstallResult result =
        services_.uninstall(static_cast<TResourceKind>(list->Tag()), std::string(list->Tree().Item(node).Name.View()));
    if (result.finished) {
        list->States().Uninstalled(node);
        list->RepaintNode(node);
    }
    if (const std::string report = UninstallReport(result); !report.empty())
        ShowMessage(report, mkInformation);
}

void TFrmMain::pmiViewScreenClick() {
    if (pgMain_->ActivePage() != kPageScreen)
        return;
    ResourceList& list = List(TResourceKind::ScreenSaver);
    if (list.FocusedNode() != kNoNode)
        PreviewScreenSaver(installContext_, std::string(list.Tree().Item(list.FocusedNode()).Name.View()));
}

void TFrmMain::pmiDeleteClick() {
    ResourceList* list = ActiveList();
    if (!list || list->FocusedNode() == kNoNode)
        return;
    const NodeId node = list->FocusedNode();
    // A file that could not be deleted (in use, read-only) keeps its row downloaded.
    DeleteFileUtf8(paths_.PackageFile(list->Tag(), list->Tree().Item(node).Name.View()));
    ForgetVanishedPackage(*list, node);
    list->RepaintRow(node);
}

std::optional<FileDigest> TFrmMain::ExpectedFile(ManifestRole role, int kind, std::string_view name) const {
    if (!catalogKey_ || !manifest_)
        return std::nullopt;
    const FileDigest* digest = manifest_->Find(role, kind, name);
    return digest ? std::optional<FileDigest>(*digest) : std::nullopt;
}

bool TFrmMain::CachedPackageIsGenuine(ResourceList& list, NodeId node, const std::string& packageFile) {
    if (!catalogKey_)
        return true;
    const std::optional<FileDigest> expected =
        ExpectedFile(ManifestRole::Package, list.Tag(), list.Tree().Item(node).Name.View());
    if (expected && CheckFile(packageFile, *expected) == FileTrust::Matches)
        return true;
    DeleteFileUtf8(packageFile);
    RefusePackage(list, node);
    return false;
}

void TFrmMain::RefusePackage(ResourceList& list, NodeId node) {
    list.States().Refused(node);
    list.RepaintRow(node);
    OnListPackageRefused(list, node);
}

void TFrmMain::OnListPackageRefused(ResourceList& list, NodeId node) {
    std::string text = strings_.GetUtf8(IDS_PACKAGE_REFUSED);
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, list.Tree().Item(node).Name.View());
    ShowMessage(text, mkError);
}

void TFrmMain::ForgetVanishedPackage(ResourceList& list, NodeId node) {
    if (list.Tree().Item(node).State != dsDownloaded ||
        probe_.FileExists(paths_.PackageFile(list.Tag(), list.Tree().Item(node).Name.View())))
        return;
    list.States().Deleted(node);
    list.RepaintNode(node);
}

void TFrmMain::ForgetVanishedPackages() {
    for (const auto& list : lists_) {
        if (!list)
            continue;
        for (NodeId node = 0; node < static_cast<NodeId>(list->Tree().Size()); ++node)
            ForgetVanishedPackage(*list, node);
    }
}

void TFrmMain::pmiOpenFileClick() {
    ResourceList* list = ActiveList();
    if (!list || list->FocusedNode() == kNoNode)
        return;
    OpenWithShell(paths_.PackageFile(list->Tag(), list->Tree().Item(list->FocusedNode()).Name.View()));
}

void TFrmMain::pmiOpenFloderClick() {
    ResourceList* list = ActiveList();
    if (!list)
        return;
    OpenWithShell(paths_.KindCacheFolder(list->Tag()));
}

void TFrmMain::OnListFocusChanged(ResourceList& list, NodeId node) {
    if (list.Tag() == static_cast<int>(TResourceKind::Sound))
        return;
    if (node == kNoNode || list.IsCategory(node)) {
        services_.requestPreview(list, kNoNode, {}, {});
        return;
    }
    const std::string name(list.Tree().Item(node).Name.View());
    EnsureKindCacheFolder(list.Tag());
    services_.requestPreview(list, node, ResourceFileUrl(list.Tag(), name, ".jpg"),
                             paths_.PreviewFile(list.Tag(), name));
}

}  // namespace lumaforge
