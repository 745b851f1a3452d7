#pragma once
// What a chat window's conversation shows of what users did to its lines:
// the quoted start above a reply (a click goes to the line it answers), the
// reactions under a line with who reacted, new words marked "(edited)",
// "message deleted" in place of a line taken back; and the menu of a line.
// The window inserts its lines; this keeps track of them by their ids.
#include "LineVerbs.h"

#include <QObject>
#include <QString>
#include <QTextFormat>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QPoint;
class QTextBlock;
class QTextCursor;
class QTextEdit;

namespace lanyx::verbs::ui {

// The reactions the menu offers.
const std::vector<std::string>& OfferedReactions();

class LineView : public QObject {
    Q_OBJECT
public:
    // `verbs` may be none: the lines then have no menu of their own.
    LineView(QTextEdit* view, LineVerbs* verbs);

    // Set on the characters of a line's own words by the window, so that
    // new words can take their place.
    static constexpr int kLineText = QTextFormat::UserProperty + 30;

    // Before the window inserts a reply: the block of its quote, at the
    // end of the conversation (`quoted` the start of the line answered).
    void insertQuote(std::uint64_t replyTo, const QString& author, const QString& quoted);
    // The window showed the line `id` in the blocks first..last.
    void shown(std::uint64_t id, const std::string& author, bool own, int firstBlock, int lastBlock);
    bool holds(std::uint64_t id) const;

    // What users did, as the verbs tell it.
    void reactionsChanged(std::uint64_t id);
    void edited(std::uint64_t id, const QString& text);
    void deleted(std::uint64_t id);

    // What the view shows of a line: its words (new ones after an edit),
    // whether it shows as taken back, and the reactions under it.
    QString wordsOf(std::uint64_t id) const { return textOf(id); }
    bool showsDeleted(std::uint64_t id) const;
    QString reactionsShown(std::uint64_t id) const;
    // The line at a point of the view's viewport (0: none).
    std::uint64_t lineAt(const QPoint& viewportPos) const;
    // Puts the line in view and selects it; false when not shown here.
    bool jumpTo(std::uint64_t id);
    // The line's actions, added to `menu`: Reply, React, Edit, Delete.
    void addActions(QMenu* menu, std::uint64_t id);
    // Deleting asks first; the box, while it is open (for the tests).
    QWidget* deleteQuestion() const { return question_; }
    void askToDelete(std::uint64_t id);

Q_SIGNALS:
    // The user chose to answer the line, or to give his line new words.
    void replyRequested(std::uint64_t id, const QString& author, const QString& text);
    void editRequested(std::uint64_t id, const QString& text);
    // What the user did was refused (LineTooOld, LineDeleted, ...).
    void refused(const lanyx::Error& error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextBlock firstBlockOf(std::uint64_t id) const;
    void replaceText(std::uint64_t id, const QString& text, bool deleted);
    QString textOf(std::uint64_t id) const;
    QTextEdit* view_;
    LineVerbs* verbs_;
    QWidget* question_ = nullptr;
    struct Line {
        std::string author;
        bool own = false;
    };
    std::map<std::uint64_t, Line> lines_;
};

// Above the input line while the user answers a line or gives his line
// new words: what he does, and a button (or Escape in the input) to stop.
class ComposeBar : public QWidget {
    Q_OBJECT
public:
    explicit ComposeBar(QWidget* parent);
    void replyTo(std::uint64_t id, const QString& author, const QString& text);
    void edit(std::uint64_t id);
    void stop();
    std::uint64_t replying() const { return reply_; }
    std::uint64_t editing() const { return edit_; }
    // The start of the line answered, as the reply quotes it.
    const QString& quoted() const { return quoted_; }
    QLabel* label() const { return label_; }

Q_SIGNALS:
    void stopped();

private:
    QLabel* label_;
    std::uint64_t reply_ = 0;
    std::uint64_t edit_ = 0;
    QString quoted_;
};

}  // namespace lanyx::verbs::ui
