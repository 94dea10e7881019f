#include "app/BatchController.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

#include <algorithm>
#include <filesystem>

#include "app/BatchTableModel.h"
#include "model/BatchWorker.h"
#include "app/Dialogs.h"
#include "app/WindowPlacement.h"
#include "model/MiscKit.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "ui_BatchWindow.h"

namespace fs = std::filesystem;

namespace {

const QString kWaiting = QStringLiteral("Waiting for start...");
constexpr int kPathWidth = 300;

}  // namespace

BatchController::BatchController(QWidget* window, Dialogs& dialogs, QObject* parent)
    : QObject(parent), batch_window(window), dialogs_(dialogs) {
    batchList = window->findChild<QTableView*>(QStringLiteral("batchList"));
    sourcePath = window->findChild<QLineEdit*>(QStringLiteral("sourcePath"));
    progressInd = window->findChild<QProgressBar*>(QStringLiteral("progressInd"));
    list = new BatchTableModel(this);
    WindowPlacement::centerOnOwnerWhenFirstShown(window);
    batchList->setModel(list);
    batchList->horizontalHeader()->setStretchLastSection(true);
    // The folder first, shortened in the middle so its own name shows; the
    // status takes the rest (the nested-folder warning is long).
    batchList->setColumnWidth(BatchTableModel::kPathColumn, kPathWidth);
    batchList->setTextElideMode(Qt::ElideMiddle);
    batchList->verticalHeader()->hide();
    progressInd->hide();
    auto* choose = window->findChild<QPushButton*>(QStringLiteral("btn_chooseSource"));
    auto* start = window->findChild<QPushButton*>(QStringLiteral("btn_startBatch"));
    connect(choose, &QPushButton::clicked, this, [this] { btn_chooseSource(); });
    connect(start, &QPushButton::clicked, this, [this] { btn_startBatch(); });
    auto* open = new QShortcut(QKeySequence::Open, window);
    connect(open, &QShortcut::activated, this, [this] { btn_chooseSource(); });
    auto* convert = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Return")), window);
    connect(convert, &QShortcut::activated, this, [this] { btn_startBatch(); });
    auto* close = new QShortcut(QKeySequence::Close, window);
    connect(close, &QShortcut::activated, window, &QWidget::close);
    window->installEventFilter(this);
}

QWidget* BatchController::makeWindow(QWidget* owner) {
    auto* window = new QWidget(owner, Qt::Window);
    Ui::BatchWindow ui;
    ui.setupUi(window);
    return window;
}

BatchController::~BatchController() {
    waitForEnd();
}

void BatchController::btn_chooseSource() {
    if (isRunning()) {
        dialogs_.beep();
        return;
    }
    Dialogs::OpenPanel panel;
    panel.title = QStringLiteral("Choose a folder with subfolder themes to convert");
    panel.prompt = QStringLiteral("Choose");
    panel.canChooseDirectories = true;
    panel.canChooseFiles = false;
    std::optional<QString> chosen = dialogs_.runOpenPanel(batch_window, panel);
    if (!chosen) {
        return;
    }
    std::error_code error;
    if (fs::directory_iterator(chosen->toStdString(), error) == fs::directory_iterator()) {
        dialogs_.alert(batch_window, QStringLiteral("Empty Directory!"), QStringLiteral("OK"),
                       QStringLiteral("There is not any file in %1.").arg(*chosen));
        return;
    }
    sourcePath->setText(*chosen);
    _loadFolders(*chosen);
}

void BatchController::_loadFolders(const QString& folder) {
    // By name, as the Mac's file system lists a folder.
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(folder.toStdString(), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<BatchTableModel::Row> rows;
    for (const std::string& name : names) {
        const std::string path = folder.toStdString() + "/" + name;
        Log::write(Log::escaped(path));
        if (FileManager::isDirectory(path)) {
            rows.push_back({path, kWaiting, QString()});
        }
    }
    list->setRows(std::move(rows));
}

void BatchController::btn_startBatch() {
    if (isRunning()) {
        dialogs_.beep();
        return;
    }
    if (!QFileInfo::exists(sourcePath->text())) {
        btn_chooseSource();
        return;
    }
    Dialogs::OpenPanel panel;
    panel.title = QStringLiteral("Choose a destination folder for dockthemes");
    panel.canChooseDirectories = true;
    panel.canChooseFiles = false;
    std::optional<QString> destination = dialogs_.runOpenPanel(batch_window, panel);
    if (!destination) {
        dialogs_.beep();
        return;
    }
    if (*destination == sourcePath->text()) {
        dialogs_.beep();
        dialogs_.alert(batch_window, QStringLiteral("Choose a different folder"),
                       QStringLiteral("OK"),
                       QStringLiteral("You can't choose the same folder of source!"));
        return;
    }
    const int rows = list->rowCount();
    progressInd->setRange(0, rows);
    progressInd->setValue(0);
    progressInd->show();
    list->setAllStatuses(kWaiting);
    failed_ = 0;
    done_ = 0;
    std::vector<std::string> folders;
    for (const BatchTableModel::Row& row : list->rows()) {
        folders.push_back(row.path);
    }
    MiscKit::sharedFiles();  // the catalogue is made here, before the worker reads it
    worker_ = std::make_unique<BatchWorker>(std::move(folders), destination->toStdString(), [this] {
        QMetaObject::invokeMethod(this, "_deliverSteps", Qt::QueuedConnection);
    });
    worker_->start();
}

void BatchController::_deliverSteps() {
    if (!worker_) {
        return;
    }
    bool finished = false;
    for (const BatchWorker::Step& step : worker_->takeSteps(finished)) {
        list->setStatus(step.row, QString::fromStdString(step.status),
                        QString::fromStdString(step.reason));
        failed_ += step.status == BatchWorker::kError ? 1 : 0;
        _updateValueOfProgressBar();
    }
    if (finished) {
        _endRun();
    }
}

// Every row counts, "ERROR!" ones too, so the bar reaches the row count and hides.
void BatchController::_updateValueOfProgressBar() {
    ++done_;
    progressInd->setValue(done_);
    if (done_ >= progressInd->maximum()) {
        progressInd->hide();
    }
}

void BatchController::_endRun() {
    const bool stopped = worker_->stopRequested();
    worker_->join();
    worker_.reset();
    progressInd->hide();
    const int rows = list->rowCount();
    if (!stopped && failed_ == 0) {
        dialogs_.alert(batch_window, QStringLiteral("Well, done!"), QStringLiteral("Thanks"),
                       QStringLiteral("All your resources folder was converted to .docktheme. "
                                      "Enjoy!"));
    } else if (!stopped) {
        dialogs_.alert(batch_window, QStringLiteral("Some Folders Not Converted"),
                       QStringLiteral("OK"),
                       QStringLiteral("%1 of %2 folders could not be converted to .docktheme; "
                                      "their rows say ERROR!.")
                           .arg(failed_)
                           .arg(rows));
    }
    emit runEnded(done_ - failed_, failed_, stopped);
}

void BatchController::waitForEnd() {
    if (worker_) {
        worker_->requestStop();
        worker_->join();
        worker_.reset();
    }
}

bool BatchController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == batch_window && event->type() == QEvent::Close && worker_) {
        worker_->requestStop();
    }
    return QObject::eventFilter(watched, event);
}
