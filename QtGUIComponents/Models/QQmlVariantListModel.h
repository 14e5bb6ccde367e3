#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QVariant>
#include <QVariantList>

// A list model of QVariant items for QML views, with one role, Qt::UserRole named "qtVariant".
// Every change is announced to views with the matching begin/end notifications, and every change
// of the number of items ends with countChanged(count).
//
// Indexes from QML are checked: a read outside the list answers an invalid QVariant; a change
// whose index is outside the list (insert and insertList accept 0..count, the others
// 0..count-1) is reported and changes nothing.
//
// Threads: GUI thread only.
class QQmlVariantListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    static constexpr int VARIANT_ROLE = Qt::UserRole;

    explicit QQmlVariantListModel(QObject* parent = nullptr);
    ~QQmlVariantListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = VARIANT_ROLE) const override;
    // Replaces the item of a valid row for the variant role and emits dataChanged; false otherwise.
    bool setData(const QModelIndex& index, const QVariant& value, int role = VARIANT_ROLE) override;
    QHash<int, QByteArray> roleNames() const override;

public slots:
    void clear();
    int count() const;
    bool isEmpty() const;
    void append(const QVariant& item);
    void prepend(const QVariant& item);
    void insert(int idx, const QVariant& item);
    // The items as one block of rows, in the list's order; an empty list does nothing.
    void appendList(const QVariantList& itemList);
    void prependList(const QVariantList& itemList);
    void insertList(int idx, const QVariantList& itemList);
    void replace(int pos, const QVariant& item);
    // The item at idx ends at pos; nothing when they are equal.
    void move(int idx, int pos);
    void remove(int idx);
    QVariant get(int idx) const;
    QVariantList list() const;

signals:
    void countChanged(int count);

private:
    // Checks an index from a caller; reports and answers false when it is outside first..last.
    bool CheckIndex(const char* operation, int index, int first, int last) const;
    void UpdateCount();

    QVariantList mItems;
    int mCount = 0;
};
