#include "app/Editor.h"

#include "app/BatchController.h"
#include "app/CollectionController.h"
#include "app/MainController.h"
#include "platform/Log.h"

Editor::Editor(Dialogs& dialogs) : dialogs_(dialogs) {
    CollectionController::recoverLeftovers();
    main_ = std::make_unique<MainController>(dialogs_);
    QObject::connect(main_.get(), &MainController::collectionWanted, main_.get(),
                     [this] { collection().showWindow(); });
    QObject::connect(main_.get(), &MainController::batchWanted, main_.get(),
                     [this] { batch().showWindow(); });
    QObject::connect(main_.get(), &MainController::archiveImportWanted, main_.get(),
                     [this](const QString& path) {
                         collection().importArchive(
                             path, [this, path](const std::optional<std::string>& bundle) {
                                 if (bundle) {
                                     main_->openImportedTheme(path, *bundle);
                                 }
                             });
                     });
}

Editor::~Editor() {
    // Their windows are the main window's: they go before it.
    batch_.reset();
    collection_.reset();
}

CollectionController& Editor::collection() {
    if (!collection_) {
        collection_ = std::make_unique<CollectionController>(*main_, dialogs_);
        main_->ownWindow(collection_->collection_window);
        QObject::connect(main_.get(), &MainController::applyEnded, collection_.get(),
                         &CollectionController::applyStateChanged);
    }
    return *collection_;
}

BatchController& Editor::batch() {
    if (!batch_) {
        batch_ = std::make_unique<BatchController>(dialogs_);
        main_->ownWindow(batch_->batch_window);
    }
    return *batch_;
}

void Editor::waitForWork() {
    main_->waitForWork();
    if (batch_) {
        batch_->waitForEnd();
    }
}
