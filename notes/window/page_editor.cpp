// A page editor: the text box with a hidden page's text and size held back until the
// page is shown, and the page's changed state for Save.
#include "notes/window/page_editor.h"

namespace notes {

void PageEditor::loadLater(std::function<void()> load) {
    m_changed = false;
    m_box.setText(L"");
    m_source = nullptr;
    m_load = std::move(load);
    if (m_box.visible()) {
        runLoad();
    }
}

// The load is let go before it runs: it gives the page its text through loadText.
void PageEditor::runLoad() const {
    if (m_load) {
        const std::function<void()> load = std::move(m_load);
        m_load = nullptr;
        load();
    }
}

void PageEditor::loadText(TextSource source, std::size_t length) {
    m_load = nullptr;
    m_changed = false;
    m_box.setText(L"");
    m_source = std::move(source);
    m_sourceLength = length;
    if (m_box.visible()) {
        realize();
    }
}

void PageEditor::setModified(bool modified) {
    m_changed = modified;
    if (!modified) {
        m_box.setModified(false);
    }
}

// The file is read first, so that Save weighs the new text against it.
void PageEditor::setText(std::wstring_view text) {
    runLoad();
    m_source = nullptr;
    m_box.setText(text);
    m_changed = true;
    if (m_edited) {
        m_edited();
    }
}

std::size_t PageEditor::textLength() const {
    runLoad();
    return m_source ? m_sourceLength : m_box.textLength();
}

void PageEditor::readText(const std::function<void(std::wstring_view)>& reader) const {
    runLoad();
    if (m_source) {
        reader(m_source());
    } else {
        m_box.readText(reader);
    }
}

// Selections belong to the text in the box, so a deferred text goes in first.
plat::TextSelection& PageEditor::selection() {
    realize();
    return m_box;
}

void PageEditor::replaceSelection(std::wstring_view text) {
    selection().setSelText(text);
    m_changed = true;
    if (m_edited) {
        m_edited();
    }
}

// The size goes in before the text, and both before the box is shown, so that the
// text is laid out once.
void PageEditor::setVisible(bool visible) {
    if (visible) {
        applyGeometry();
        realize();
    }
    m_box.setVisible(visible);
}

// The source goes only once its text is in the box: a text that cannot be made (no
// memory for a big page) stays the page's text, so that Save never writes the empty
// box over the file, and the next show tries again.
void PageEditor::realize() const {
    runLoad();
    if (m_source) {
        m_box.setText(m_source());
        m_source = nullptr;
    }
}

void PageEditor::applyGeometry() const {
    if (m_geometry) {
        const plat::Rect r = *m_geometry;
        m_geometry.reset();
        m_box.setGeometry(r);
    }
}

plat::Rect PageEditor::geometry() const {
    return m_geometry ? *m_geometry : m_box.geometry();
}

// A hidden box keeps its size until shown; a negative size is never applied.
void PageEditor::setGeometry(const plat::Rect& r) {
    plat::Rect next = geometry();
    next.left = r.left;
    next.top = r.top;
    next.width = r.width >= 0 ? r.width : next.width;
    next.height = r.height >= 0 ? r.height : next.height;
    if (m_box.visible()) {
        m_box.setGeometry(next);
    } else {
        m_geometry = next;
    }
}

}  // namespace notes
