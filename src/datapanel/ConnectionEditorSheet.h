#pragma once

#include "datapanel/DataPanelPart.h"
#include "datapanel/PanelInnerSheet.h"
#include "engine/DatabaseConnection.h"

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
    // "Test Connection": the edited preset and password, unsaved edits included. Only "Save"
    // stores the password.
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
    // A text field bound to one text of the edited preset.
    QLineEdit *connectionField(const QString &name, const QString &placeholder,
                               QString DatabaseConnection::*member);
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
    OutcomeText *keychainMessage_;
    QPushButton *cancel_;
    QPushButton *save_;
};

// Shows the connection editor over the data panel while the panel's editor state is visible.
// It holds the state, so the sheet goes before the state does; "Cancel", "Save" and any
// dismissal hide the state.
class ConnectionEditorSheet : public PanelInnerSheet {
    Q_OBJECT

public:
    // The editor state of that panel and the sheet that follows it; owned by the panel.
    static ConnectionEditorSheet *follow(DataPanelView *panel);

    ConnectionEditorState &state() const { return *state_; }
    // Null until the sheet is first shown.
    ConnectionEditorView *view() const;

protected:
    QWidget *makeContent(SheetDialog *dialog) override;
    void dismissed() override;
    void showing() override;

private:
    explicit ConnectionEditorSheet(DataPanelView *panel);

    ConnectionEditorState *state_;
    QPointer<ConnectionEditorView> view_;
};
