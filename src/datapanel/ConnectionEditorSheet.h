#pragma once

#include "datapanel/DataPanelPart.h"

#include <QPointer>
#include <QWidget>

class ConnectionEditorState;
class OutcomeText;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SheetDialog;
class Spinner;

// The content of the connection editor sheet, 440 points wide: the preset's name and type, its
// address as fields (host, port, database) or as a JDBC URL with "Apply", the user name and the
// masked password, "Test Connection" with its outcome, and "Cancel" and "Save". Every field is
// bound to the panel's ConnectionEditorState; only "Save" writes the preset.
class ConnectionEditorView : public QWidget {
    Q_OBJECT

public:
    static constexpr int sheetWidth = 440;

    ConnectionEditorView(ConnectionEditorState &state, const DataPanelContext &context,
                         QWidget *parent = nullptr);

    // Shows the state's values in place.
    void refresh();
    // "Test Connection": the edited preset and password, unsaved edits included. After a
    // success the password is stored for the preset's id, if this opening of the sheet is
    // still there.
    void testConnection();
    void save();

    QLabel *title() const { return title_; }
    QLineEdit *portField() const { return port_; }
    QPushButton *testButton() const { return test_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *cancelButton() const { return cancel_; }

private:
    template <typename Change> void editConnection(Change change);
    QLineEdit *lineEdit(const QString &name, const QString &placeholder);
    void showPort();
    void showEngineState();

    ConnectionEditorState &state_;
    DataPanelContext context_;
    QLabel *title_;
    QLineEdit *name_;
    QComboBox *type_;
    QButtonGroup *input_;
    QWidget *fieldsBlock_;
    QLineEdit *host_;
    QLineEdit *port_;
    QLineEdit *database_;
    QWidget *urlBlock_;
    QLineEdit *url_;
    QPushButton *apply_;
    OutcomeText *urlMessage_;
    QLineEdit *username_;
    QLineEdit *password_;
    QPushButton *test_;
    Spinner *spinner_;
    OutcomeText *result_;
    QPushButton *cancel_;
    QPushButton *save_;
};

// Shows the connection editor over the data panel while the panel's editor state is visible.
// The sheet is made on first showing and kept while the panel lives; "Cancel", "Save" and any
// dismissal hide the state. It holds the state, so the sheet goes before the state does.
class ConnectionEditorSheet : public QObject {
    Q_OBJECT

public:
    // The editor state of that panel and the sheet that follows it; owned by the panel.
    static ConnectionEditorSheet *follow(DataPanelView *panel);
    ~ConnectionEditorSheet() override;

    ConnectionEditorState &state() const { return *state_; }
    // Both null until the sheet is first shown.
    SheetDialog *dialog() const;
    ConnectionEditorView *view() const;

private:
    explicit ConnectionEditorSheet(DataPanelView *panel);
    void setShown(bool shown);

    DataPanelView *panel_;
    ConnectionEditorState *state_;
    QPointer<SheetDialog> dialog_;
    QPointer<ConnectionEditorView> view_;
};
