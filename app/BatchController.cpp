#include "app/BatchController.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QThread>

#include <algorithm>
#include <filesystem>

#include "app/Background.h"
#include "app/BatchTableModel.h"
#include "app/Dialogs.h"
#include "image/ThemePreview.h"
#include "model/BatchWorker.h"
#include "model/MiscKit.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "ui_BatchWindow.h"

namespace fs = std::filesystem;

namespace {

const char* const kWaiting = QT_TRANSLATE_NOOP("BatchController", "Waiting for start...");
constexpr int kPathWidth = 300;

}  // namespace

BatchController::BatchController(Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      batch_window(new QWidget(nullptr, Qt::Window)),
      ui_(std::make_unique<Ui::BatchWindow>()),
      dialogs_(dialogs) {
    QWidget* window = batch_window;
    ui_->setupUi(window);
    batchList = ui_->batchList;
    sourcePath = ui_->sourcePath;
    progressInd = ui_->progressInd;
    list = new BatchTableModel(this);
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    batchList->setModel(list);
    batchList->horizontalHeader()->setStretchLastSection(true);
    // The folder first, shortened in the middle so its own name shows; the
    // status takes the rest (the nested-folder warning is long).
    batchList->setColumnWidth(BatchTableModel::kPathColumn, kPathWidth);
    batchList->setTextElideMode(Qt::ElideMiddle);
    batchList->verticalHeader()->hide();
    progressInd->hide();
    connect(ui_->btn_chooseSource, &QPushButton::clicked, this, [this] { btn_chooseSource(); });
    connect(ui_->btn_startBatch, &QPushButton::clicked, this, [this] { btn_startBatch(); });
    auto* open = new QShortcut(QKeySequence::Open, window);
    connect(open, &QShortcut::activated, this, [this] { btn_chooseSource(); });
    auto* convert = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Return")), window);
    connect(convert, &QShortcut::activated, this, [this] { btn_startBatch(); });
    auto* close = new QShortcut(QKeySequence::Close, window);
    connect(close, &QShortcut::activated, window, &QWidget::close);
    window->installEventFilter(this);
}

BatchController::~BatchController() {
    waitForEnd();
    // A window given to no owner goes with this controller.
    if (!batch_window->parent()) {
        delete batch_window;
    }
}

void BatchController::showWindow() {
    batch_window->show();
    batch_window->raise();
    batch_window->activateWindow();
}

void BatchController::btn_chooseSource() {
    if (isRunning()) {
        dialogs_.beep();
        return;
    }
    Dialogs::OpenPanel panel;
    panel.title = tr("Choose a folder with subfolder themes to convert");
    panel.prompt = tr("Choose");
    panel.canChooseDirectories = true;
    panel.canChooseFiles = false;
    std::optional<QString> chosen = dialogs_.runOpenPanel(batch_window, panel);
    if (!chosen) {
        return;
    }
    std::error_code error;
    if (fs::directory_iterator(chosen->toStdString(), error) == fs::directory_iterator()) {
        dialogs_.alert(batch_window, tr("Empty Directory!"), tr("OK"),
                       tr("There is not any file in %1.").arg(*chosen));
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
            rows.push_back({path, tr(kWaiting), QString()});
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
    panel.title = tr("Choose a destination folder for dockthemes");
    panel.canChooseDirectories = true;
    panel.canChooseFiles = false;
    std::optional<QString> destination = dialogs_.runOpenPanel(batch_window, panel);
    if (!destination) {
        dialogs_.beep();
        return;
    }
    if (*destination == sourcePath->text()) {
        dialogs_.beep();
        dialogs_.alert(batch_window, tr("Choose a different folder"), tr("OK"),
                       tr("You can't choose the same folder of source!"));
        return;
    }
    const int rows = list->rowCount();
    progressInd->setRange(0, rows);
    progressInd->setValue(0);
    progressInd->show();
    list->setAllStatuses(tr(kWaiting));
    failed_ = 0;
    noImage_ = 0;
    done_ = 0;
    MiscKit::sharedFiles();  // the catalogue is made here, before a worker reads it
    run_ = std::make_unique<Run>();
    for (const BatchTableModel::Row& row : list->rows()) {
        run_->folders.push_back(row.path);
    }
    run_->destination = destination->toStdString();
    _convertNext();
}

void BatchController::_convertNext() {
    Run* run = run_.get();
    // Row 0 goes alone: it first sweeps the hidden folders a killed run left,
    // and would sweep the one of a row made beside it.
    const auto width = run->next == 0 ? 1u : static_cast<std::size_t>(pool_.maxThreadCount());
    while (!run->stop && run->next < run->folders.size() && run->underWay < width) {
        _convertRow(run->next++);
    }
    if (run->underWay == 0) {
        _endRun();
    }
}

void BatchController::_convertRow(std::size_t row) {
    Run* run = run_.get();
    const bool first = row == 0;
    ++run->underWay;
    run->begun.push_back(QFuture<void>(Background::run(
        &pool_, this,
        [first, folder = run->folders[row], destination = run->destination] {
            if (first) {
                BatchWorker::removeLeftovers(destination);
            }
            BatchWorker::Step step = BatchWorker::convert(folder, destination);
            // Each new theme its own small picture; one that can't be drawn keeps the stock one.
            if (std::string why;
                !step.bundle.empty() && !ThemePreview::renderMicroPreview(step.bundle, &why)) {
                Log::write("The batch theme keeps the stock micro preview: " + why);
            }
            return step;
        },
        [this, row](const BatchWorker::Step& step) {
            --run_->underWay;
            list->setStatus(row, QString::fromStdString(step.status),
                            step.tookNoImage ? tr("The folder holds no image named as the Dock "
                                                  "names its images (such as separator.png), so "
                                                  "no theme was made.")
                                             : QString::fromStdString(step.reason));
            failed_ += step.status == BatchWorker::kError ? 1 : 0;
            noImage_ += step.tookNoImage ? 1 : 0;
            _updateValueOfProgressBar();
            _convertNext();
        },
        // A run waited for and dropped (waitForEnd) takes no more rows.
        [this, run] { return run_.get() == run; })));
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
    const bool stopped = run_->stop;
    run_.reset();
    progressInd->hide();
    const int rows = list->rowCount();
    if (!stopped && failed_ == 0) {
        dialogs_.alert(batch_window, tr("Well, done!"), tr("Thanks"),
                       tr("All your resources folder was converted to .docktheme. "
                          "Enjoy!"));
    } else if (!stopped) {
        QString message = tr("%1 of %2 folders could not be converted to .docktheme; their rows "
                             "say ERROR!.")
                              .arg(failed_)
                              .arg(rows);
        if (noImage_ > 0) {
            message +=
                QLatin1Char(' ') + tr("%n of them took no image: a folder with no file named as "
                                      "the Dock names its images makes no theme. A row's "
                                      "tooltip says why it failed.",
                                      nullptr, noImage_);
        }
        dialogs_.alert(batch_window, tr("Some Folders Not Converted"), tr("OK"), message);
    }
    emit runEnded(done_ - failed_, failed_, stopped);
}

void BatchController::waitForEnd() {
    if (run_) {
        run_->stop = true;
        for (QFuture<void>& row : run_->begun) {
            row.waitForFinished();
        }
        run_.reset();
        progressInd->hide();
    }
}

bool BatchController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == batch_window && event->type() == QEvent::Close && run_) {
        run_->stop = true;
    }
    return QObject::eventFilter(watched, event);
}
