#pragma once

#include <QObject>

// An object that does its work on a cThreadController's thread: InitOnThread runs there when
// the thread starts, and the worker is deleted there (deleteLater) when the thread finishes.
class cThreadWorker : public QObject
{
    Q_OBJECT

public:
    explicit cThreadWorker(QObject* parent = nullptr);

public slots:
    // Set-up on the worker's own thread; empty by default.
    virtual void InitOnThread();
};
