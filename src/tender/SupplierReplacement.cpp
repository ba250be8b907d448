#include "SupplierReplacement.h"

#include "IdentModel.h"
#include "TableLayout.h"
#include "TenderController.h"
#include "model/UndoStack.h"
#include "model/Workbook.h"

#include <cmath>

using namespace TableLayout;

namespace {

QString twoDecimals(double v) {
    return QString::number(std::round(v * 100) / 100, 'f', 2);
}

} // namespace

bool SupplierReplacement::opensAt(const IdentModel& model, int sheet, int row) {
    const Workbook& b = model.book();
    if (!model.isInstanceSheet(sheet) || !model.isInstanceSheet(sheet + 1) ||
        TenderController::markOf(b, sheet) != QLatin1String("Svod") ||
        TenderController::markOf(b, sheet + 1) != QLatin1String("Sort"))
        return false;
    // The total row at the bottom is no item.
    return row >= model.firstBodyRow() && row < b.sheet(sheet).lastRow();
}

SupplierReplacement::SupplierReplacement(IdentModel& model, int svod, int row)
    : m_model(model), m_book(model.book()), m_svod(svod), m_sort(svod + 1), m_row(row) {
    const Sheet& sh = m_book.sheet(m_svod);
    m_current = sh.text(row, TenderController::kSvodSupplier);
    numberAt(sh, row, TenderController::kSvodVolume, m_volume);
    numberAt(sh, row, TenderController::kSvodPrice, m_price);
    numberAt(sh, row, TenderController::kSvodCost, m_cost);
    m_requested = requestedOf(row);
    m_offers = offersOf(row);
    if (m_offers.size() < 2)
        m_offers.clear();
}

QString SupplierReplacement::item() const {
    // The result sheets may carry no item texts: the suppliers' sheets do.
    auto text = [this](int col) {
        const QString t = m_book.sheet(m_svod).text(m_row, col);
        if (!t.isEmpty() || !m_model.isInstanceSheet(m_sort + 1))
            return t;
        return m_book.sheet(m_sort + 1).text(m_row, col);
    };
    return text(kSideCol) + QLatin1Char('\n') + text(3) + QStringLiteral("  ") + text(4);
}

double SupplierReplacement::requestedOf(int row) const {
    double v = 0;
    numberAt(m_book.sheet(m_sort), row, TenderController::kRequested, v);
    return v;
}

std::vector<TenderOffer> SupplierReplacement::offersOf(int row) const {
    const Sheet& sh = m_book.sheet(m_sort);
    double count = 0;
    numberAt(sh, row, 1, count);
    std::vector<TenderOffer> offers;
    for (int i = 0; i < int(count); ++i) {
        const int c = 6 + 3 * i;
        TenderOffer o;
        numberAt(sh, row, c, o.price);
        numberAt(sh, row, c + 1, o.volume);
        o.supplier = sh.text(row, c + 2);
        offers.push_back(o);
    }
    return offers;
}

SupplierReplacement::Figures SupplierReplacement::figures(int offer) const {
    Figures f;
    if (offer < 0 || offer >= int(m_offers.size()))
        return f;
    const TenderOffer& o = m_offers[size_t(offer)];
    f.price = o.price;
    f.cost = o.volume * o.price;
    f.deficit = m_requested - o.volume;
    double percent = 0;
    if (PercentAbove(o.price, m_price, percent))
        f.percent = twoDecimals(percent) + QLatin1Char('%');
    const double deviation = std::round((f.cost - m_cost) * 100) / 100;
    f.deviation = (deviation > 0 ? QStringLiteral("+") : QString()) + twoDecimals(deviation);
    return f;
}

void SupplierReplacement::write(int row, const TenderOffer& o) {
    m_book.setNumber(m_svod, row, TenderController::kSvodVolume, o.volume);
    m_book.setNumber(m_svod, row, TenderController::kSvodPrice, o.price);
    m_book.setNumber(m_svod, row, TenderController::kSvodCost, o.volume * o.price);
    m_book.setText(m_svod, row, TenderController::kSvodSupplier, o.supplier);
}

int SupplierReplacement::apply(int offer, bool everywhere) {
    if (offer < 0 || offer >= int(m_offers.size()))
        return 0;
    const TenderOffer chosen = m_offers[size_t(offer)];
    int written = 0;
    m_book.undoStack().begin(QStringLiteral("Замена поставщика"));
    m_book.beginUpdate();
    if (!everywhere) {
        write(m_row, chosen);
        written = 1;
    } else {
        const Sheet& sh = m_book.sheet(m_svod);
        const int last = sh.lastRow() - 1;
        for (int r = m_model.firstBodyRow(); r <= last; ++r) {
            if (sh.text(r, TenderController::kSvodSupplier) != m_current)
                continue;
            const std::vector<TenderOffer> offers = offersOf(r);
            if (offers.size() < 2)
                continue;
            for (const TenderOffer& o : offers)
                if (o.supplier == chosen.supplier) {
                    write(r, o);
                    ++written;
                    break;
                }
        }
    }
    m_book.endUpdate();
    m_book.undoStack().end();
    return written;
}
