#pragma once

#include <QObject>
#include <QString>

#include <QFuture>
#include <QThreadPool>

#include <memory>
#include <string>
#include <vector>

class BatchTableModel;
class Dialogs;
class QLineEdit;
class QProgressBar;
class QTableView;
class QWidget;
namespace Ui {
class BatchWindow;
}

// The batch converter: the user picks a source folder, each of its
// sub-folders becomes a row of the table, and after the choice of a
// destination one theme bundle per row is made there (BatchWorker::convert,
// off the UI thread, through Background::run on this controller's own pool:
// the first row alone, since it sweeps what a killed run left, then as many
// rows at once as the machine has cores) while the progress bar counts the
// rows; a sheet tells the end of the run.
//
// Makes the batch window from its form, kept as a member; the window is a
// window of its own, owned by whoever it is given to (the main window), else
// deleted with this controller. Owns the table model and the run. GUI thread
// only: each row's outcome arrives on it, and only this thread writes the
// table and the progress bar. While a run goes on, start and choose are
// refused with a beep; closing the window stops the run after the rows being
// converted, and waitForEnd (at quit, and the destructor) stops it and waits
// for those rows.
//
// What reaches the disk: the bundles the worker makes inside the chosen
// destination; the source is only read.
class BatchController : public QObject {
    Q_OBJECT

public:
    explicit BatchController(Dialogs& dialogs, QObject* parent = nullptr);
    ~BatchController() override;

    // The interface objects, in their given order.
    QTableView* batchList = nullptr;
    QLineEdit* sourcePath = nullptr;
    QWidget* batch_window = nullptr;
    QProgressBar* progressInd = nullptr;
    BatchTableModel* list = nullptr;

    // Brings the batch window to the front.
    void showWindow();
    void btn_chooseSource();
    void _loadFolders(const QString& folder);
    void btn_startBatch();
    // Whether a run goes on.
    bool isRunning() const { return run_ != nullptr; }
    // Stops a run after its current rows and waits for them.
    void waitForEnd();

signals:
    // A run ended: converted rows, failed rows, and whether it was stopped.
    void runEnded(int converted, int failed, bool stopped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A run: its rows' folders, the destination, the next row, whether a
    // stop was asked for, and the rows begun (how many are under way).
    struct Run {
        std::vector<std::string> folders;
        std::string destination;
        std::size_t next = 0;
        bool stop = false;
        std::vector<QFuture<void>> begun;
        std::size_t underWay = 0;
    };

    // Begins rows while the pool has a free thread, or ends the run once none
    // is under way after the last row or a stop.
    void _convertNext();
    void _convertRow(std::size_t row);
    void _updateValueOfProgressBar();
    void _endRun();

    std::unique_ptr<Ui::BatchWindow> ui_;
    Dialogs& dialogs_;
    QThreadPool pool_;  // a thread per core
    std::unique_ptr<Run> run_;
    int failed_ = 0;
    int noImage_ = 0;  // failed rows whose folder gave no image
    int done_ = 0;
};
