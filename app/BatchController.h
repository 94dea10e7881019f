#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class BatchTableModel;
class BatchWorker;
class Dialogs;
class QLineEdit;
class QProgressBar;
class QTableView;
class QWidget;

// The batch converter: the user picks a source folder, each of its
// sub-folders becomes a row of the table, and after the choice of a
// destination a worker (BatchWorker) makes one theme bundle per row there
// while the progress bar counts the rows; a sheet tells the end of the run.
//
// Made over the batch window, whose controls it finds by object name; owns
// none of them, and the window may go first. Owns the table model and the
// run. GUI thread only: the worker's outcomes arrive as queued calls
// (_deliverSteps), and only this thread writes the table and the progress
// bar. While a run goes on, start and choose are refused with a beep; closing
// the window stops the run after the row being converted, and waitForEnd (at
// quit, and the destructor) stops it and waits for the thread.
//
// What reaches the disk: the bundles the worker makes inside the chosen
// destination; the source is only read.
class BatchController : public QObject {
    Q_OBJECT

public:
    BatchController(QWidget* window, Dialogs& dialogs, QObject* parent = nullptr);
    ~BatchController() override;

    // A new batch window from its .ui file, a window of its own owned by owner.
    static QWidget* makeWindow(QWidget* owner);

    // The interface objects, in their given order.
    QTableView* batchList = nullptr;
    QLineEdit* sourcePath = nullptr;
    QWidget* batch_window = nullptr;
    QProgressBar* progressInd = nullptr;
    BatchTableModel* list = nullptr;

    void btn_chooseSource();
    void _loadFolders(const QString& folder);
    void btn_startBatch();
    // Whether a run goes on.
    bool isRunning() const { return worker_ != nullptr; }
    // Stops a run after its current row and waits for its thread.
    void waitForEnd();

signals:
    // A run ended: converted rows, failed rows, and whether it was stopped.
    void runEnded(int converted, int failed, bool stopped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Takes the worker's finished rows: statuses, a progress step per row.
    Q_INVOKABLE void _deliverSteps();
    void _updateValueOfProgressBar();
    void _endRun();

    Dialogs& dialogs_;
    std::unique_ptr<BatchWorker> worker_;
    int failed_ = 0;
    int done_ = 0;
};
