#include "ui/ORVRemoveDlg.h"

#include "sysops/RestartNeed.h"
#include "sysops/RootCleanup.h"
#include "ui/DialogRemoval.h"
#include "ui/resource.h"


namespace {

constexpr UINT_PTR kLogTimer = 1;

std::vector<ORVProduct*> InOrder(const Catalogue& catalogue, const ComponentOrder& order) {
    std::vector<ORVProduct*> products;
    for (Component c : order)
        if (ORVProduct* product = catalogue.Get(c)) products.push_back(product);
    return products;
}

}  // namespace

CORVRemoveDlg::CORVRemoveDlg()
    : CResizableDialog(IDD_ORVREMOVE_DIALOG),
      list_(model_.DataModel(), model_.SelectionModel(), model_.ColumnSettings()),
      messageLog_(pendingLines_),
      remover_(messageLog_),
      catalogue_(MakeCatalogue(messageLog_)),
      icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      detectionOrder_(InOrder(catalogue_, kDialogDetectionOrder)) {}

CORVRemoveDlg::~CORVRemoveDlg() {
    // The worker uses the components and the log: it ends before they go.
    remover_.Stop();
    if (logFont_) DeleteObject(logFont_);
}

void CORVRemoveDlg::DoDataExchange() {
    DDX_Control(IDC_LOG, logPane_);
    DDX_Control(IDC_PRODUCT_LIST, list_);
    DDX_Control(IDC_REMOVE, removeButton_);
    DDX_Control(IDC_REMOVE_ALL, removeAllButton_);
}

BOOL CORVRemoveDlg::OnInitDialog() {
    CResizableDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    SetChildAnchor(list_, kTopLeft, kTopRight);
    SetChildAnchor(removeButton_, kTopRight, kTopRight);
    SetChildAnchor(removeAllButton_, kTopRight, kTopRight);
    SetChildAnchor(logPane_, kTopLeft, kBottomRight);
    AnchorRemainingChildren();

    logPane_.SendMessage(EM_LIMITTEXT, 0, 0);
    // An 8-point font: the height for the screen's resolution.
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(80, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    logFont_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Courier New");
    if (logFont_) logPane_.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(logFont_), TRUE);

    remover_.SetWindow(GetSafeHwnd());
    PostMessage(WM_START_DETECTION);
    selectionConnection_ = model_.selectionChanged.connect([this](const std::set<DWORD>&) { UpdateButtons(); });
    UpdateButtons();
    return TRUE;
}

LRESULT CORVRemoveDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_START_DETECTION:
        OnStartDetection();
        return 0;
    case WM_DETECTION_FINISHED:
        OnDetectionFinished();
        return 0;
    case WM_REMOVAL_FINISHED:
        OnRemovalFinished();
        return 0;
    case WM_PAINT:
        if (OnPaint()) return 0;
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(icon_);
    }
    return CResizableDialog::WindowProc(message, wParam, lParam);
}

bool CORVRemoveDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_REMOVE:
            OnRemove();
            return true;
        case IDC_REMOVE_ALL:
            OnRemoveAll();
            return true;
        }
    }
    return CResizableDialog::OnCommand(wParam, lParam);
}

void CORVRemoveDlg::OnTimer(UINT_PTR id) {
    if (id == kLogTimer) FlushLog();
}

void CORVRemoveDlg::OnOK() {
    // Enter never closes the dialog.
}

void CORVRemoveDlg::OnCancel() {
    if (!busy_) EndDialog(IDCANCEL);
}

void CORVRemoveDlg::EnableClose(bool enable) {
    EnableMenuItem(GetSystemMenu(GetSafeHwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void CORVRemoveDlg::SetBusy(bool busy) {
    busy_ = busy;
    EnableClose(!busy);
}

void CORVRemoveDlg::OnStartDetection() {
    if (busy_) return;
    SetBusy(true);
    UpdateButtons();
    StartPass([this] { remover_.StartDetection(detectionOrder_); });
}

template <class Start>
void CORVRemoveDlg::StartPass(Start start) {
    try {
        start();
    } catch (...) {
        // No worker runs: the dialog must not stay busy (it could not even
        // be closed). The window layer shows the error.
        SetBusy(false);
        UpdateButtons();
        throw;
    }
}

void CORVRemoveDlg::OnDetectionFinished() {
    FlushLog();
    model_.SetProducts(detectionOrder_);
    UpdateButtons();
    SetBusy(false);
    UpdateButtons();
}

void CORVRemoveDlg::UpdateButtons() {
    if (busy_) {
        EnableWindow(removeButton_, FALSE);
        EnableWindow(removeAllButton_, FALSE);
        return;
    }
    const auto selected = model_.SelectedItems();
    remover_.Stop();
    const auto installed = remover_.Installed();
    if (installed.empty()) {
        EnableWindow(removeButton_, FALSE);
        EnableWindow(removeAllButton_, FALSE);
        return;
    }
    bool canRemove = !selected.empty();
    for (ORVProduct* product : selected) {
        if (!product->installed) {
            canRemove = false;
            break;
        }
    }
    EnableWindow(removeButton_, canRemove);
    EnableWindow(removeAllButton_, TRUE);
}

void CORVRemoveDlg::OnRemove() {
    const auto& items = model_.SelectedItems();
    const std::vector<ORVProduct*> selected(items.begin(), items.end());
    const std::wstring question = ConfirmRemovalText(selected);
    if (MessageBox(question, L"Confirm Removal", MB_OKCANCEL | MB_DEFBUTTON2) == IDOK) {
        RemoveProducts(selected);
    } else {
        model_.SelectAll(false);
    }
}

void CORVRemoveDlg::OnRemoveAll() {
    remover_.Stop();
    const std::wstring question = ConfirmRemoveAllText(remover_.Installed().size());
    if (MessageBox(question, L"Confirm Removal", MB_OKCANCEL | MB_DEFBUTTON2) == IDOK) {
        remover_.Stop();
        RemoveProducts(remover_.Installed());
    } else {
        model_.SelectAll(false);
    }
}

void CORVRemoveDlg::RemoveProducts(const std::vector<ORVProduct*>& products) {
    if (busy_) return;
    const DialogRemovalPlan plan = PlanDialogRemoval(catalogue_, products);
    if (plan.dependencyWarning) {
        MessageBox(*plan.dependencyWarning, L"Some installed components depend on the client", MB_ICONERROR);
        return;
    }
    SetBusy(true);
    UpdateButtons();
    StartPass([&] { remover_.StartRemoval(plan.order); });
}

void CORVRemoveDlg::OnRemovalFinished() {
    FlushLog();
    remover_.Stop();
    MessageBox(RemovalSummaryText(remover_.AllSucceeded(), remover_.Removed().size(), RestartNeeded()),
               remover_.AllSucceeded() ? L"Success" : L"Errors Encountered",
               remover_.AllSucceeded() ? MB_OK : MB_ICONERROR);
    remover_.Stop();
    if (remover_.Removed().size() == remover_.Installed().size()) {
        messageLog_.Write(L"\r\n");
        messageLog_.Write(L"No more products installed. Removing root folders and reg keys...");
        messageLog_.Write(L"\r\n");
        messageLog_.WriteRemovalBanner(L"Folders and Registry keys");
        RemoveRootFoldersAndKeys(messageLog_);
        FlushLog();
    }
    remover_.Stop();
    remover_.EraseUninstalled();
    UpdateButtons();
    SetBusy(false);
    UpdateButtons();
    model_.SetProducts(detectionOrder_);
    model_.SelectAll(false);
}

void CORVRemoveDlg::FlushLog() {
    const std::wstring text = pendingLines_.TakeText();
    if (text.empty()) return;
    logPane_.SendMessage(EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    logPane_.SendMessage(EM_SCROLLCARET);
    logPane_.SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CORVRemoveDlg::OnPaint() {
    if (!IsIconic(GetSafeHwnd())) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(GetSafeHwnd(), &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(GetSafeHwnd(), &paint);
    return true;
}
