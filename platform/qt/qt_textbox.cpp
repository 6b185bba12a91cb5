// Text boxes: the CR LF text and positions the program sees, on a plain-text editor
// that holds one block per line. Nothing copies the text but text(), readText() (in
// UTF-16, handed out in wide pieces) and selText(); lengths and positions come from the block structure.
#include "platform/qt/qt_textbox.h"

#include <QFontDatabase>
#include <QScopedValueRollback>
#include <QTextBlock>

#include <algorithm>

#include "platform/qt/qt_common.h"

namespace plat::qt {
namespace {

constexpr char16_t kBlockSeparator = 0x2029;
// Breaking lines at word boundaries costs time in the square of a word's length: a
// word longer than this is broken anywhere instead, or a page holding one long run
// of text would take minutes to lay out.
constexpr std::size_t kLongWord = 4096;

template <class Text>
bool hasLongWord(const Text& text) {
    std::size_t run = 0;
    for (const auto c : text) {
        run = (c == ' ' || c == '\t' || c == '\n' || c == '\r') ? 0 : run + 1;
        if (run > kLongWord) {
            return true;
        }
    }
    return false;
}

void setWrap(QPlainTextEdit& edit, bool anywhere) {
    const QTextOption::WrapMode mode = anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (edit.wordWrapMode() != mode) {
        edit.setWordWrapMode(mode);
    }
}

bool isHigh(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLow(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

// A lone CR or LF is a line break too: the editor would make it one anyway. Written
// through a pointer into room made first (a character gives at most two units): the
// common character costs a compare and a store, where QString::append costs a call.
QString toEditorText(std::wstring_view text) {
    QString out(static_cast<qsizetype>(2 * text.size()), Qt::Uninitialized);
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    char16_t* const begin = to;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<char32_t>(text[i]);
        if (c < 0xD800 && c != U'\r') {
            *to++ = static_cast<char16_t>(c);
        } else if (c == U'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
            *to++ = u'\n';
        } else if (c > 0xFFFF && c <= 0x10FFFF) {
            *to++ = static_cast<char16_t>(0xD7C0 + (c >> 10));
            *to++ = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
        } else {
            *to++ = static_cast<char16_t>(c > 0xFFFF ? 0xFFFD : c);
        }
    }
    out.truncate(static_cast<qsizetype>(to - begin));
    return out;
}

// The editor's raw text, not its "plain text", which would turn no-break spaces into
// blanks.
std::wstring fromEditorText(const QString& text) {
    std::wstring out;
    appendEditorText(out, text);
    return out;
}

// Written through a pointer into room made first (each unit gives at most two): the
// common character, below the surrogates and not a block separator, costs a compare
// and a store.
void appendEditorText(std::wstring& out, QStringView text) {
    const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
    const auto size = static_cast<std::size_t>(text.size());
    const std::size_t start = out.size();
    out.resize(start + 2 * size);
    wchar_t* to = out.data() + start;
    for (std::size_t i = 0; i < size; ++i) {
        const char32_t c = units[i];
        if (c < 0xD800 && c != kBlockSeparator) {
            *to++ = static_cast<wchar_t>(c);
        } else if (c == kBlockSeparator) {
            *to++ = L'\r';
            *to++ = L'\n';
        } else if (sizeof(wchar_t) == 4 && isHigh(c) && i + 1 < size && isLow(units[i + 1])) {
            *to++ = static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            *to++ = static_cast<wchar_t>(c);
        }
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

// The editor's widget is made when it is first needed (shown, given text or a
// selection): most editors of the notes window stay hidden and empty at start.
void QtTextBox::attach(QWidget* parent, const QRect& rect, std::uint32_t colour, std::function<void()> changed) {
    m_edit = nullptr;
    m_parent = parent;
    m_rect = rect;
    m_colour = colour;
    m_changed = std::move(changed);
    m_visible = false;
}

// No undo of its own: Ctrl+Z is the program's Undo, and an undo history of a page
// of a MiB would cost memory and time on every keystroke.
bool QtTextBox::made() {
    if (m_edit || !m_parent) {
        return m_edit != nullptr;
    }
    auto* edit = new NoteEdit(m_parent);
    m_edit = edit;
    edit->setGeometry(m_rect);
    edit->hide();
    edit->setUndoRedoEnabled(false);
    edit->setAccessibleName(m_accessibleName);
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWrap(*edit, false);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, fromColourWord(m_colour));
    edit->setPalette(palette);
    m_changes = QObject::connect(edit->document(), &QTextDocument::contentsChange, edit,
                                 [this](int position, int removed, int added) {
                                     reviewWrap(position, added);
                                     if (!m_programChange && (removed > 0 || added > 0) && m_changed) {
                                         m_changed();
                                     }
                                 });
    return true;
}

void QtTextBox::detach() {
    QObject::disconnect(m_changes);
    m_edit = nullptr;
    m_parent = nullptr;
}

// Whatever put the text in (typing, a paste, a drop): only lines long enough to hold
// a long word are read.
void QtTextBox::reviewWrap(int position, int added) {
    if (!m_edit || added <= 0 || m_edit->wordWrapMode() == QTextOption::WrapAnywhere) {
        return;
    }
    const QTextDocument* document = m_edit->document();
    const QTextBlock last = document->findBlock(position + added);
    for (QTextBlock block = document->findBlock(position); block.isValid(); block = block.next()) {
        if (static_cast<std::size_t>(block.length()) > kLongWord && hasLongWord(block.text())) {
            setWrap(*m_edit, true);
            return;
        }
        if (block == last) {
            return;
        }
    }
}

// The caret ends after the new text, as it does in a Windows edit control.
// An editor not made yet is empty already.
void QtTextBox::setText(std::wstring_view text) {
    if (m_edit || (!text.empty() && made())) {
        setWrap(*m_edit, hasLongWord(text));
        const QScopedValueRollback program(m_programChange, true);
        m_edit->setPlainText(toEditorText(text));
        m_edit->moveCursor(QTextCursor::End);
        m_edit->document()->setModified(false);
    }
}

// Every block but the last ends in one separator, which is two units of CR LF.
std::size_t QtTextBox::textLength() const {
    if (!m_edit) {
        return 0;
    }
    const QTextDocument* document = m_edit->document();
    return static_cast<std::size_t>(document->characterCount() - 1 + document->blockCount() - 1);
}

// The document's text in one UTF-16 string (the fastest way out of a document: line
// by line costs a few microseconds a line), converted to the program's wide
// characters a piece at a time, so that no wide copy of a whole page is made (on
// Linux a wide character takes four bytes).
void QtTextBox::readText(const std::function<void(std::wstring_view)>& reader) const {
    constexpr qsizetype kPiece = 65536;
    if (!m_edit) {
        return;
    }
    const QString all = m_edit->document()->toRawText();
    std::wstring piece;
    for (qsizetype at = 0; at < all.size();) {
        qsizetype count = std::min(kPiece, all.size() - at);
        // A surrogate pair stays in one piece.
        if (at + count < all.size() && all.at(at + count - 1).isHighSurrogate()) {
            ++count;
        }
        piece.clear();
        appendEditorText(piece, QStringView(all).mid(at, count));
        reader(piece);
        at += count;
    }
}

bool QtTextBox::modified() const {
    return m_edit && m_edit->document()->isModified();
}

void QtTextBox::setModified(bool modified) {
    if (m_edit) {
        m_edit->document()->setModified(modified);
    }
}

std::wstring QtTextBox::selText() const {
    return m_edit ? fromEditorText(m_edit->textCursor().selectedText()) : std::wstring();
}

void QtTextBox::setSelText(std::wstring_view text) {
    if (!made()) {
        return;
    }
    QTextCursor cursor = m_edit->textCursor();
    const QScopedValueRollback program(m_programChange, true);
    cursor.insertText(toEditorText(text));
    m_edit->setTextCursor(cursor);
    setModified(true);
}

// Editor position to CR LF position: one more unit for each line above.
int QtTextBox::toOuter(int position) const {
    return position + m_edit->document()->findBlock(position).blockNumber();
}

// CR LF position to editor position: the last line starting at or before it; a
// position between CR and LF, or past the end, is the end of that line.
int QtTextBox::toInner(int position) const {
    const QTextDocument* document = m_edit->document();
    int low = 0;
    int high = document->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (document->findBlockByNumber(middle).position() + middle <= position) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    const QTextBlock block = document->findBlockByNumber(low);
    const int offset = std::min(position - block.position() - low, block.length() - 1);
    return block.position() + std::max(offset, 0);
}

int QtTextBox::selStart() const {
    return m_edit ? toOuter(m_edit->textCursor().selectionStart()) : 0;
}

int QtTextBox::selLength() const {
    if (!m_edit) {
        return 0;
    }
    const QTextCursor cursor = m_edit->textCursor();
    return toOuter(cursor.selectionEnd()) - toOuter(cursor.selectionStart());
}

// The caret ends at the far end of the selection.
void QtTextBox::select(int start, int length) {
    if (!made()) {
        return;
    }
    start = std::max(start, 0);
    length = std::max(length, 0);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(toInner(start));
    cursor.setPosition(toInner(start > INT32_MAX - length ? INT32_MAX : start + length), QTextCursor::KeepAnchor);
    m_edit->setTextCursor(cursor);
}

void QtTextBox::setVisible(bool visible) {
    m_visible = visible;
    if (m_edit || (visible && made())) {
        m_edit->setVisible(visible);
    }
}

// Where the editor is, or where it will be made.
Rect QtTextBox::geometry() const {
    if (!m_edit && !m_parent) {
        return {};
    }
    return toTwips(m_edit ? m_edit->geometry() : m_rect, *m_twipsX, *m_twipsY);
}

void QtTextBox::setGeometry(const Rect& r) {
    if (!m_edit && !m_parent) {
        return;
    }
    const QRect now = m_edit ? m_edit->geometry() : m_rect;
    const int cx = r.width >= 0 ? twipsToPixels(r.width, *m_twipsX) : now.width();
    const int cy = r.height >= 0 ? twipsToPixels(r.height, *m_twipsY) : now.height();
    const QRect placed(twipsToPixels(r.left, *m_twipsX), twipsToPixels(r.top, *m_twipsY), cx, cy);
    if (m_edit) {
        m_edit->setGeometry(placed);
    } else {
        m_rect = placed;
    }
}

void QtTextBox::setFocus() {
    if (m_edit) {
        m_edit->setFocus();
    }
}

void QtTextBox::setAccessibleName(std::wstring_view name) {
    m_accessibleName = toQString(name);
    if (m_edit) {
        m_edit->setAccessibleName(m_accessibleName);
    }
}

}  // namespace plat::qt
