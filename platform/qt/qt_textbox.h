// A text box of the Qt backend: a plain-text editor that shows the program CR LF
// text. The editor holds one block per line; the program sees "\r\n" between lines
// and counts positions in that text (UTF-16 units), as a Windows edit control does.
#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

#include "platform/qt/qt_widgets.h"
#include "platform/services/form.h"

namespace plat::qt {

// The conversions at the editor's edge. Lone surrogates pass through both ways.
QString toEditorText(std::wstring_view text);
std::wstring fromEditorText(const QString& text);  // block separators become CR LF
void appendEditorText(std::wstring& out, QStringView text);

class QtTextBox final : public TextBox {
public:
    // `twips`: twips per pixel, read at each conversion (the screen may change).
    QtTextBox(const float* twipsX, const float* twipsY) : m_twipsX(twipsX), m_twipsY(twipsY) {}
    // The editor of a new window of the form, hidden and empty at `rect` (pixels) in
    // `parent`; `changed` hears of each change the user makes to its text.
    void attach(QWidget* parent, const QRect& rect, std::uint32_t colour, std::function<void()> changed);
    NoteEdit* edit() const { return m_edit; }
    // The window goes: the editor with it.
    void detach();

    // TextContent: the document, one block per line (CR LF outside).
    void setText(std::wstring_view text) override;
    std::size_t textLength() const override;
    void readText(const std::function<void(std::wstring_view)>& reader) const override;
    bool modified() const override;
    void setModified(bool modified) override;
    // TextSelection: the editor's cursor, in positions counted with CR LF.
    std::wstring selText() const override;
    void setSelText(std::wstring_view text) override;
    int selStart() const override;
    int selLength() const override;
    void select(int start, int length) override;
    // TextWidget: the QPlainTextEdit, placed in pixels.
    bool visible() const override { return m_visible; }
    void setVisible(bool visible) override;
    Rect geometry() const override;
    void setGeometry(const Rect& r) override;
    void setFocus() override;
    void setAccessibleName(std::wstring_view name) override;

private:
    // Makes the editor's widget if it is not made yet; false when there is no window.
    bool made();
    int toOuter(int position) const;
    int toInner(int position) const;
    void reviewWrap(int position, int added);

    const float* m_twipsX;
    const float* m_twipsY;
    QPointer<NoteEdit> m_edit;
    QPointer<QWidget> m_parent;  // where the widget is made, while it is not
    QRect m_rect;                // where it is made, pixels
    std::uint32_t m_colour = 0xFFFFFF;
    QMetaObject::Connection m_changes;
    std::function<void()> m_changed;
    bool m_programChange = false;  // while the program itself puts text in
    bool m_visible = false;
    QString m_accessibleName;  // given to the widget when it is made
};

}  // namespace plat::qt
