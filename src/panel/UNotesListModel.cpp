#include "UNotesListModel.h"

#include "UNotesList.h"
#include "UQtColors.h"
#include "UfrmNote.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <algorithm>

TfrmNote* TNotesListModel::Note(int row) const {
    return row >= 0 && row < static_cast<int>(Notes_.size()) ? Notes_[static_cast<size_t>(row)]
                                                             : nullptr;
}

void TNotesListModel::Append(TfrmNote& note) {
    const int row = static_cast<int>(Notes_.size());
    beginInsertRows(QModelIndex(), row, row);
    Notes_.push_back(&note);
    Texts_.push_back(QString::fromStdString(
        NotesListEntryText(note.NoteId(), note.IsChat(), note.IsSystemNote())));
    endInsertRows();
}

bool TNotesListModel::Remove(const TfrmNote& note) {
    const auto found = std::find(Notes_.begin(), Notes_.end(), &note);
    if (found == Notes_.end())
        return false;
    const int row = static_cast<int>(found - Notes_.begin());
    beginRemoveRows(QModelIndex(), row, row);
    Notes_.erase(Notes_.begin() + row);
    Texts_.erase(Texts_.begin() + row);
    endRemoveRows();
    return true;
}

int TNotesListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Notes_.size());
}

QVariant TNotesListModel::data(const QModelIndex& index, int role) const {
    const TfrmNote* note = Note(index.row());
    if (note == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return Texts_[static_cast<size_t>(index.row())];
    case Qt::BackgroundRole:
        return ToQColor(note->NoteColor());
    case Qt::ForegroundRole:
        return ToQColor(note->FontColor());
    default:
        return {};
    }
}

void TNotesListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const TfrmNote* note = Model_.Note(index.row());
    if (note == nullptr) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, ToQColor(note->NoteColor()));
    painter->setFont(option.font);
    painter->setPen(ToQColor(note->FontColor()));
    const QRect textRect = option.rect.adjusted(2, 0, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = ToQColor(note->NoteColor());
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

QSize TNotesListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), EntryHeight};
}
