#pragma once
// The main dialog: detects every component on a worker thread, lists them
// with name, version and state colour, removes the selected or all installed
// ones on the worker thread, shows every line of the removal log in its log
// pane, and cleans the suite's roots when nothing is left.

#include "app/Catalogue.h"
#include "log/MessageLog.h"
#include "ui/BackgroundRemover.h"
#include "ui/ModeledListCtrl.h"
#include "ui/MyEdit.h"
#include "ui/ResizableDialog.h"
#include "ui/models/RemoveListModel.h"

#include <boost/signals2/connection.hpp>

#include <vector>

// Private messages of the dialog; the worker posts the finish messages.
constexpr UINT WM_START_DETECTION = WM_APP;  // 0x8000

class CORVRemoveDlg : public CResizableDialog {
public:
    CORVRemoveDlg();
    ~CORVRemoveDlg() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

private:
    void OnStartDetection();
    void OnDetectionFinished();
    void OnRemovalFinished();
    void OnRemove();
    void OnRemoveAll();
    void RemoveProducts(const std::vector<ORVProduct*>& products);
    void UpdateButtons();
    void FlushLog();
    void SetBusy(bool busy);
    void EnableClose(bool enable);
    bool OnPaint();
    // Runs start, which starts a worker pass; when it throws, the dialog
    // leaves the busy state before the exception goes on.
    template <class Start>
    void StartPass(Start start);

    RemoveListModel model_;
    CModeledListCtrl list_;
    CWnd removeButton_;
    CWnd removeAllButton_;
    HFONT logFont_ = nullptr;
    CMyEdit logPane_;
    Remove::PendingLines pendingLines_;
    Remove::MessageLog messageLog_;
    BackgroundRemover remover_;
    bool busy_ = false;
    Catalogue catalogue_;
    HICON icon_ = nullptr;
    std::vector<ORVProduct*> detectionOrder_;
    boost::signals2::scoped_connection selectionConnection_;
};
