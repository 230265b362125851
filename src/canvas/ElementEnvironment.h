#pragma once

class AppSettings;
class Dialogs;
class ElementImageLoader;
class ExpressionEngine;
class ImageImportCoordinator;
class WorkspaceModel;

// What element views need of the application beyond their store: the workspace and settings
// that opening a subreport changes, the alerts it shows, the engine the expression builder
// tests with, the pictures of image elements, and the window's image import, which image files
// dropped on a band begin. Any of them may be absent (a canvas drawn on its own); the actions
// that need one then do nothing.
struct ElementEnvironment {
    WorkspaceModel *workspace = nullptr;
    AppSettings *settings = nullptr;
    Dialogs *dialogs = nullptr;
    ExpressionEngine *expressions = nullptr;
    ElementImageLoader *images = nullptr;
    ImageImportCoordinator *imageImport = nullptr;
};
