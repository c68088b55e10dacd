#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include <cstdint>
#include <vector>

class TfrmNote;

// The notes list: one entry per open note window, in the order the windows were registered.
// It is the registry of open windows that every command over all notes walks. It refers to the
// windows and does not own them.
class TNotesListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    const std::vector<TfrmNote*>& Notes() const { return Notes_; }
    TfrmNote* Note(int row) const;
    // The entry text is made from the window's flags now and is not updated later.
    void Append(TfrmNote& note);
    // Removes the entry of that window; false when it is not listed.
    bool Remove(const TfrmNote& note);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<TfrmNote*> Notes_;
    std::vector<QString> Texts_;
};

// Draws an entry in its note's colours: the note colour as background, the entry text in the
// colour of the note's font at two pixels from the left. A selected entry looks the same; only
// the focus frame marks it.
class TNotesListDelegate : public QStyledItemDelegate {
public:
    static constexpr int EntryHeight = 16;

    TNotesListDelegate(const TNotesListModel& model, QObject* parent)
        : QStyledItemDelegate(parent), Model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const TNotesListModel& Model_;
};
