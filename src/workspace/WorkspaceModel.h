#pragma once

#include "document/DocumentStoreTypes.h"
#include "model/ReportDocument.h"
#include "workspace/ReportReadAhead.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

class AppSettings;
class DocumentStore;
class ElementClipboard;

// The open reports of the application: the tabs (never none), the active one, the five sheets
// of the main window, the pending parameter prompt, the pending close of a dirty tab and the
// element clipboard shared by every tab. It also decides where a key goes (handleKeyDown); the
// window's key monitor asks it. Main thread only.
class WorkspaceModel : public QObject {
    Q_OBJECT

public:
    using ParameterValues = QMap<QString, QString>;
    using ParameterAction = std::function<void(const ParameterValues &)>;

    explicit WorkspaceModel(QObject *parent = nullptr);

    // The workspace owns its stores; a closed tab's store is deleted once control returns to
    // the event loop, so a view that is still handling a signal of it stays safe.
    const QList<DocumentStore *> &tabs() const { return tabs_; }
    int activeTabIndex() const { return activeTabIndex_; }
    // An index outside the tabs is ignored.
    void setActiveTabIndex(int index);
    DocumentStore *activeStore() const { return tabs_.at(activeTabIndex_); }

    bool isNewReportWizardVisible() const { return isNewReportWizardVisible_; }
    void setIsNewReportWizardVisible(bool visible);
    bool isDataPanelVisible() const { return isDataPanelVisible_; }
    void setIsDataPanelVisible(bool visible);
    bool isPageSetupVisible() const { return isPageSetupVisible_; }
    void setIsPageSetupVisible(bool visible);
    bool isSourceVisible() const { return isSourceVisible_; }
    // Hiding the source sheet first asks `closeCheck`, when one is set, which answers whether
    // it may close (the sheet asks the user about text not applied yet).
    void setIsSourceVisible(bool visible);
    void setSourceCloseCheck(std::function<bool()> closeCheck)
    {
        sourceCloseCheck_ = std::move(closeCheck);
    }
    // Whether the source sheet, if it shows, may close: asks its check. A quit asks this first.
    bool mayCloseSource() const
    {
        return !isSourceVisible_ || !sourceCloseCheck_ || sourceCloseCheck_();
    }
    bool isParameterPromptVisible() const { return isParameterPromptVisible_; }
    void setIsParameterPromptVisible(bool visible);
    // True while at least one of the five sheets is shown.
    bool isAnySheetOpen() const;

    const QList<ReportParameter> &pendingParameters() const { return pendingParameters_; }
    const ParameterValues &pendingParameterValues() const { return pendingParameterValues_; }
    void setPendingParameterValues(const ParameterValues &values);
    bool hasPendingParameterAction() const { return bool(pendingParameterAction_); }

    ElementClipboard *clipboard() const { return clipboard_; }

    // Asked by every tab's store, the tabs opened later included, for a location when work needs
    // the report to have a file first (a subreport's new file goes beside it).
    void setSavePanel(SavePanel panel);

    QObject *keyMonitor() const { return keyMonitor_; }
    void setKeyMonitor(QObject *monitor) { keyMonitor_ = monitor; }

    std::optional<int> pendingCloseTabIndex() const { return pendingCloseTabIndex_; }
    void setPendingCloseTabIndex(std::optional<int> index);

    // Opens the report in a new tab, or activates the tab that already shows the same file
    // (however its path is spelled). Throws the store's load errors and then changes nothing.
    void openTab(const QUrl &url);
    void newTab(double pageWidth, double pageHeight);
    // Opens a report made in the program in a new active tab: no file, not marked changed, its
    // first detail band active.
    void openDocumentTab(const ReportDocument &document);
    // Starts reading the files of the last session on other threads, for the restore.
    void readLastSessionAhead(const AppSettings &settings);
    // Reopens the files of the last session; missing and unreadable ones are skipped.
    void restoreLastSession(const AppSettings &settings);
    // A dirty tab waits for confirmation in pendingCloseTabIndex; others close at once.
    void requestCloseTab(int index);
    void closeTab(int index);
    bool hasUnsavedChanges() const;
    // The index of the tab that shows the file (however its path is spelled), or -1.
    int tabShowing(const QUrl &url) const;

    // An item at `fromPath` was moved or renamed to `toPath` by the program: each tab whose file
    // is the item or lies below it saves to the new place from now on, and the recent files
    // follow it too.
    void followMovedItem(const QString &fromPath, const QString &toPath, AppSettings &settings);
    // The item at `path` went to the trash: each tab whose file is the item or lies below it
    // keeps its report but has no file any more, so Save asks where to save it.
    void forgetTrashedItem(const QString &path);

    // What the quit handler stores: the files of the tabs that have one, in tab order, and the
    // active tab's position among them (0 when the active tab has no file).
    QStringList openTabPaths() const;
    int activeTabPathIndex() const;

    // Runs `then` at once with the remembered values when the report prompts for nothing;
    // otherwise fills the prompt and shows it.
    void promptForParameterValues(DocumentStore *store, const ParameterAction &then);
    void confirmParameterPrompt();
    // Cancel, Escape or a dismissal of the prompt: hides it; the pending run never happens.
    void dismissParameterPrompt();

    // Routes one key press. `reachesStore` says whether the key may edit the report: no modal
    // window is active and the key belongs to the main window. `fromSheet` says that the key was
    // typed in one of the five sheets: only there does Escape close them; in any other window
    // (an alert over a sheet) it stays that window's. True when the key was used and must not go
    // further.
    bool handleKeyDown(const KeyDown &key, bool reachesStore, bool fromSheet);

signals:
    void tabsChanged();
    void activeTabIndexChanged();
    void isNewReportWizardVisibleChanged();
    void isDataPanelVisibleChanged();
    void isPageSetupVisibleChanged();
    void isSourceVisibleChanged();
    void isParameterPromptVisibleChanged();
    void pendingParametersChanged();
    void pendingParameterValuesChanged();
    void pendingCloseTabIndexChanged();

private:
    DocumentStore *makeStore();
    // Loads a store for the file, or throws; the store is deleted on failure.
    DocumentStore *loadStore(const QUrl &url);
    void setTabs(const QList<DocumentStore *> &tabs, int activeIndex);
    void setFlag(bool &flag, bool value, void (WorkspaceModel::*changed)());
    // The index of the tab that shows the file, or -1.
    int tabShowing(const QString &filePath) const;
    // Two tabs never stand for one file: when `store` now saves to the file of another tab
    // (which the user agreed to replace), that tab keeps its report but has no file any more,
    // so that closing it asks and Save asks where.
    void letOthersGoOf(const DocumentStore *store);

    ElementClipboard *clipboard_;
    SavePanel savePanel_;
    ReportReadAhead readAhead_;
    QList<DocumentStore *> tabs_;
    int activeTabIndex_ = 0;
    bool isNewReportWizardVisible_ = false;
    bool isDataPanelVisible_ = false;
    bool isPageSetupVisible_ = false;
    bool isSourceVisible_ = false;
    std::function<bool()> sourceCloseCheck_;
    bool isParameterPromptVisible_ = false;
    QList<ReportParameter> pendingParameters_;
    ParameterValues pendingParameterValues_;
    ParameterAction pendingParameterAction_;
    QPointer<QObject> keyMonitor_;
    std::optional<int> pendingCloseTabIndex_;
};
