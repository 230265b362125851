#pragma once

#include <QPointer>
#include <QWidget>

class ConnectionPresetStore;
class DocumentStore;
class SidecarModel;
class Spinner;
class QToolButton;
class WorkspaceModel;

// The buttons at the trailing end of the canvas's top bar: Data opens the data panel, Source the
// report's JRXML, and Preview starts a preview run. Preview is off while the engine works or the
// parameter prompt is open, shows a spinner in its place while a preview renders, names the data
// source in its help text and carries a dot that is green when the report has chosen a connection.
class CanvasTrailingToolbar : public QWidget {
    Q_OBJECT

public:
    CanvasTrailingToolbar(WorkspaceModel &workspace, SidecarModel &engine,
                          ConnectionPresetStore &connections, QWidget *parent = nullptr);

    QToolButton *dataButton() const { return data_; }
    QToolButton *sourceButton() const { return source_; }
    QToolButton *previewButton() const { return preview_; }
    Spinner *spinner() const { return spinner_; }
    QColor statusDotColor() const;

signals:
    void sourceRequested();
    void previewRequested();

private:
    void followActiveStore();
    void refresh();

    WorkspaceModel &workspace_;
    SidecarModel &engine_;
    ConnectionPresetStore &connections_;
    QToolButton *data_;
    QToolButton *source_;
    QToolButton *preview_;
    Spinner *spinner_;
    QWidget *dot_;
    QPointer<DocumentStore> store_;
    QMetaObject::Connection storeConnection_;
};
