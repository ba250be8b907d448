#include "PreviewPager.h"

#include <algorithm>

void PreviewPager::setCount(int count) {
    m_count = std::max(1, count);
    m_page = std::clamp(m_page, 1, m_count);
}

void PreviewPager::next() {
    if (m_page < m_count)
        ++m_page;
}

void PreviewPager::previous() {
    if (m_page > 1)
        --m_page;
}

PreviewPager& SharedPreviewPager() {
    static PreviewPager pager;
    return pager;
}
