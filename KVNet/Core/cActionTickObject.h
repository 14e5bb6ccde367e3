#pragma once

#include <QObject>

class cActionTickDriver;

// Lives on the action-tick thread and owns its 20 ms precise timer; every timer event is
// handed to the driver. Created and deleted on that thread.
class cActionTickObject : public QObject
{
public:
    static constexpr int PERIOD_MS = 20;

    explicit cActionTickObject(cActionTickDriver* driver);
    ~cActionTickObject() override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    cActionTickDriver* mDriver;
    int mTimerId;
};
