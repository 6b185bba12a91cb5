// One page's editor as the notes window uses it: the desktop's text box plus what
// keeps big pages cheap. It wraps the box's text and widget; the selection is the
// box's own. A multi-line editor lays out its whole text whenever its
// text or size changes, so a hidden page's text and size wait here until the page is
// shown; and the editor knows whether its page changed since it was last loaded or
// saved, so that Save can pass an unchanged page by without reading it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "notes/pagestore/page_files.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/geometry.h"

namespace notes {

class PageEditor final : public plat::TextContent, public plat::TextWidget, public PageText {
public:
    // Makes the page's text when it is first needed.
    using TextSource = std::function<std::wstring()>;

    explicit PageEditor(plat::TextBox& box) : m_box(box) {}

    // Gives the page the text it was loaded with, `length` UTF-16 units long. A hidden
    // page keeps `source` until it is shown; asked for its text meanwhile, it makes
    // the text from `source` without putting it into the box.
    void loadText(TextSource source, std::size_t length) override;
    // Whether the text changed since it was loaded or last marked saved.
    bool changed() const override { return m_changed || m_box.modified(); }
    // A page whose file is not yet read is not empty: only big files wait.
    bool empty() const { return !m_load && textLength() == 0; }
    void loadLater(std::function<void()> load) override;
    bool unread() const override { return static_cast<bool>(m_load); }
    void read() override { runLoad(); }
    // Called after each change the program makes to the text (the user's own come as
    // the form's text-change events).
    void onEdit(std::function<void()> edited) { m_edited = std::move(edited); }

    // plat::TextContent
    void setText(std::wstring_view text) override;
    std::size_t textLength() const override;
    void readText(const std::function<void(std::wstring_view)>& reader) const override;
    bool modified() const override { return changed(); }
    void setModified(bool modified) override;
    // The box's selection, with the page's text in the box. A change of the text
    // through it goes by replaceSelection, which marks the page changed.
    plat::TextSelection& selection();
    void replaceSelection(std::wstring_view text);
    // plat::TextWidget
    bool visible() const override { return m_box.visible(); }
    void setVisible(bool visible) override;
    plat::Rect geometry() const override;
    void setGeometry(const plat::Rect& r) override;
    void setFocus() override { m_box.setFocus(); }
    void setAccessibleName(std::wstring_view name) override { m_box.setAccessibleName(name); }

private:
    // Runs a waiting load of the page's file.
    void runLoad() const;
    // Puts a deferred text and size into the box (hidden or not).
    void realize() const;
    void applyGeometry() const;

    plat::TextBox& m_box;
    // Fills the page from its file, for a page whose file is not read yet.
    mutable std::function<void()> m_load;
    // The text of a page not shown since it was loaded; the box is empty meanwhile.
    mutable TextSource m_source;
    std::size_t m_sourceLength = 0;
    // Geometry set while hidden; the box gets it when shown.
    mutable std::optional<plat::Rect> m_geometry;
    bool m_changed = false;
    std::function<void()> m_edited;
};

}  // namespace notes
