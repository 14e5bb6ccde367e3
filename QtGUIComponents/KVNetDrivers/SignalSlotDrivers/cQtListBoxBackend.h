#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "QtGUIComponents/Models/QQmlVariantListModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class cQtSignalSlotListBoxDriver;

// What a QML list box needs, in one object: the texts to show (descriptions, a model with one
// text per entry), the current choice, and the switch value each choice stands for, held by the
// list-box driver it owns. Uncreatable QML type "QtListBoxBackend" of module "KVDrivers" 1.0; the
// panel back ends create it and QML reaches it through their properties.
//
// The driver's changes (from QML or from a link) come back as currentIndexChanged,
// currentDescriptionChanged and valueChanged, in that order.
//
// Threads: GUI thread. The driver's signals from the syscall thread arrive queued.
class cQtListBoxBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(QQmlVariantListModel* descriptions READ descriptions CONSTANT)
    Q_PROPERTY(QString currentDescription READ currentDescription NOTIFY currentDescriptionChanged)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QStringList descriptionsStringList READ descriptionsStringList CONSTANT)

public:
    static constexpr UBYTE READ_PERIOD = 50;

    // Makes the driver (attached at once under name, on the tick list; entry i holds values[i])
    // and one description item per text, in order.
    cQtListBoxBackend(const char* name, const QStringList& descriptions, const QList<UBYTE>& values,
                      QObject* parent = nullptr);
    // Deletes the driver (which leaves its net object) and then the model.
    ~cQtListBoxBackend() override;

    int currentIndex() const;
    QQmlVariantListModel* descriptions() const { return mDescriptions; }
    // The description of the current index; empty when no entry holds the value. An index past
    // the descriptions is reported ("List box index out of range") and reads empty.
    QString currentDescription() const;
    int value() const;
    // The descriptions given at construction (AddItem and ClearItems leave it).
    QStringList descriptionsStringList() const { return mDescriptionsStringList; }
    // The owned driver; back ends detach it before shutdown.
    cQtSignalSlotListBoxDriver* GetDriver() const { return mDriver; }

    // Queues a bidirectional link between (path, param) and the driver's value, so that the
    // unit's parameter and the list box follow each other. False, with a report, while the driver
    // is detached or without a system builder.
    bool LinkFromParameter(const char* path, UWORD param, bool remove, bool sync);
    // Adds an entry holding value, described by description.
    void AddItem(UBYTE value, const QString& description);
    // AddItem with the number of descriptions as the value.
    void AddDescription(const QString& description);
    // Empties the driver's entries and the descriptions.
    void ClearItems();

public slots:
    // The driver's SetCurrentIndex: the value of that entry (0 when there is none).
    void setCurrentIndex(int arg);
    // The driver's SetValue: a value some entry holds; others are ignored (outside 0..255,
    // reported).
    void setValue(int arg);
    // Re-announces the driver's state.
    void driverValueChanged();

signals:
    void currentIndexChanged(int arg);
    void currentDescriptionChanged(QString arg);
    void valueChanged(UBYTE arg);

private:
    cQtSignalSlotListBoxDriver* mDriver;
    QQmlVariantListModel* mDescriptions;
    QStringList mDescriptionsStringList;
};
