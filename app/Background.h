#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <functional>
#include <type_traits>
#include <utility>

// The editor's one way to work off the UI thread: run() hands work to a pool
// and continues with then on the UI thread.
//
// The pool: QThreadPool::globalInstance() for short CPU work (decoding,
// hashing, checking); a pool of the caller's own (one thread) for work that
// waits (the rights dialog, the renderer, a child process), so a wait never
// holds the global pool's threads.
//
// Threads: run() is called on the UI thread, where context lives. work runs on
// a thread of pool and must touch no widget and no QObject of the UI thread;
// it gets copies of what it needs. then and stillWanted run on the UI thread,
// from the event loop, after work ended. then gets work's result (none when
// work returns void). The result is dropped, then not called, when context
// was destroyed first, or when stillWanted (given) answers false: a caller
// that starts a newer request bumps a token of its own, and stillWanted
// compares the token of its request with it.
//
// The future returned is work's, so a caller may wait for work to end (at
// its own end, in tests); then still comes through the event loop after it.
class Background {
public:
    template <typename Work, typename Then>
    static QFuture<std::invoke_result_t<Work>> run(QThreadPool* pool, QObject* context, Work work,
                                                   Then then,
                                                   std::function<bool()> stillWanted = {}) {
        using Result = std::invoke_result_t<Work>;
        // A child of context: gone with it, it calls nothing.
        auto* watcher = new QFutureWatcher<Result>(context);
        QObject::connect(
            watcher, &QFutureWatcherBase::finished, watcher,
            [watcher, then = std::move(then), stillWanted = std::move(stillWanted)]() mutable {
                watcher->deleteLater();
                if (stillWanted && !stillWanted()) {
                    return;
                }
                if constexpr (std::is_void_v<Result>) {
                    then();
                } else {
                    then(watcher->result());
                }
            });
        QFuture<Result> future = QtConcurrent::run(pool, std::move(work));
        watcher->setFuture(future);
        return future;
    }
};
