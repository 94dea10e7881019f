#pragma once

#include <memory>

class BatchController;
class CollectionController;
class Dialogs;
class MainController;

// The editor's windows, made and wired in one place: the main window's
// controller, and the collection and the batch converter, each made when
// first asked for (so start-up builds only the main window). The controllers
// know nothing of each other: the main window asks for the collection, the
// batch converter and an archive import by signal, and the collection
// reaches the open theme only through ThemeHost (the main window's
// controller). Their windows are owned by the main window.
//
// At its making, what a killed add, replace or import left in the
// collection folder is recovered. GUI thread only.
class Editor {
public:
    explicit Editor(Dialogs& dialogs);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    MainController& main() const { return *main_; }
    CollectionController& collection();
    BatchController& batch();
    // Waits for the apply tool and a batch run to end (at quit).
    void waitForWork();

private:
    Dialogs& dialogs_;
    // Made first, gone last: the others' windows belong to its window.
    std::unique_ptr<MainController> main_;
    std::unique_ptr<CollectionController> collection_;
    std::unique_ptr<BatchController> batch_;
};
