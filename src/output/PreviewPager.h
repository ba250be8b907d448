#pragma once

// The page the preview shows and its "Назад" / "Далее" state. The page number is kept
// from one preview to the next (1 at start-up); a count smaller than the kept page, as
// another table may have, brings the page back into range.
class PreviewPager {
public:
    int page() const { return m_page; }
    int count() const { return m_count; }
    // The page count the layout gave; the page is clamped to 1 … count.
    void setCount(int count);
    void next();
    void previous();
    bool canGoBack() const { return m_page > 1; }
    bool canGoOn() const { return m_page < m_count; }

private:
    int m_page = 1;
    int m_count = 1;
};

// The one pager of the program: the preview page number lives for the whole run.
PreviewPager& SharedPreviewPager();
