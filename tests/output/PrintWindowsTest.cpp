#include "TableDbFixture.h"

#include "PageLayout.h"
#include "PageSetupController.h"
#include "PreviewPager.h"
#include "TBook.h"
#include "TableLayout.h"
#include "TfmKisTabl.h"
#include "TfmPPrev.h"
#include "TfmSetParam.h"

#include "model/Sheet.h"
#include "model/Workbook.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace TableLayout;

namespace {

class PrintWindowsTest : public TableDbFixture {
protected:
    // The editor on a new table whose sheet 1 holds `rows` body rows of numbers.
    void open(int rows) {
        m_window = std::make_unique<TfmKisTabl>(dm(), m_prompter);
        m_window->openTable(TableRef::read(dm(), newTable()).value_or(TableRef{}));
        Workbook& b = book();
        b.setText(1, 99, 2, QStringLiteral("Заголовок таблицы"));
        b.setText(1, 100, 3, QStringLiteral("Графа"));
        for (int r = 0; r < rows; ++r)
            b.setNumber(1, 101 + r, 3, r + 1);
    }
    Workbook& book() { return m_window->Book->workbook(); }
    Sheet& sheet1() { return book().sheet(1); }
    // Two title lines shown (98, 99) and the accompanying text shown.
    void twoTitleLinesAndText() {
        for (int r = kFirstTitleRow; r <= kLastTitleRow; ++r)
            sheet1().setRowHidden(r, r < 98);
        m_window->sheets().setAccompanyingTextShown(true);
    }
    // Runs `inside` while the modal window opened by `command` is up, then closes it.
    static void whileModal(const std::function<void()>& inside,
                           const std::function<void()>& command) {
        QTimer::singleShot(0, inside);
        command();
    }
    template <class T> T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void trigger(const char* name) { m_window->action(QString::fromLatin1(name))->trigger(); }
    // The boxes shown, without the file dialogs.
    QStringList messages() const {
        QStringList out;
        for (const auto& s : m_prompter.shown())
            if (s.kind == ScriptedPrompter::Kind::Message)
                out.append(s.text);
        return out;
    }

    std::unique_ptr<TfmKisTabl> m_window;
};

} // namespace

TEST_F(PrintWindowsTest, CancelAfterTheMenuBringsTheTitleLinesAndTheTickBack) {
    open(3);
    twoTitleLinesAndText();
    bool hiddenWhileOpen = false, tickedWhileOpen = false;
    whileModal(
        [&] {
            hiddenWhileOpen = sheet1().rowHidden(98) && sheet1().rowHidden(99);
            tickedWhileOpen = m_window->action(QStringLiteral("imPageParam"))->isChecked();
            child<QAbstractButton>(m_window->fmSetParam(), "HPage")->click();
            m_window->fmSetParam().reject();
        },
        [&] { trigger("imPageParam"); });
    EXPECT_TRUE(hiddenWhileOpen);
    EXPECT_TRUE(tickedWhileOpen);
    EXPECT_FALSE(sheet1().rowHidden(98));
    EXPECT_FALSE(sheet1().rowHidden(99));
    EXPECT_TRUE(sheet1().rowHidden(97));
    EXPECT_FALSE(m_window->action(QStringLiteral("imPageParam"))->isChecked());
    EXPECT_FALSE(sheet1().printSettings().landscape) << "the orientation at activation";
}

TEST_F(PrintWindowsTest, ANonNumericMarginIsNamedAndTheDialogStaysOpen) {
    open(3);
    bool stillOpen = false;
    whileModal(
        [&] {
            TfmSetParam& d = m_window->fmSetParam();
            child<QLineEdit>(d, "LMargin")->setText(QStringLiteral("abc"));
            child<QAbstractButton>(d, "btnOK")->click();
            stillOpen = d.isVisible();
            // The up-down arrows tell the same.
            child<QAbstractButton>(d, "LMarginUp")->click();
            child<QLineEdit>(d, "RMargin")->setText(QStringLiteral("0,5"));
            child<QAbstractButton>(d, "RMarginUp")->click();
            child<QLineEdit>(d, "LMargin")->setText(QStringLiteral("1.25"));
            child<QAbstractButton>(d, "btnOK")->click();
        },
        [&] { trigger("imPageParam"); });
    EXPECT_TRUE(stillOpen);
    const QString told = QStringLiteral("Поле \"Левое\": \"abc\" не является числом.\r\n"
                                        "Введите число, например 0.75");
    EXPECT_EQ(m_prompter.texts(), (QStringList{told, told}));
    EXPECT_DOUBLE_EQ(sheet1().printSettings().leftMargin, 1.25);
    EXPECT_DOUBLE_EQ(sheet1().printSettings().rightMargin, 0.51);
}

TEST_F(PrintWindowsTest, OkWritesEverySheetOrTheActiveOneAndClampsTheScale) {
    open(3);
    whileModal(
        [&] {
            TfmSetParam& d = m_window->fmSetParam();
            EXPECT_EQ(child<QLineEdit>(d, "UpFooter")->text(), QString());
            child<QLineEdit>(d, "LMargin")->setText(QStringLiteral("0.4"));
            QSpinBox* scale = child<QSpinBox>(d, "SpinEdit1");
            scale->setValue(500);
            emit scale->editingFinished();
            EXPECT_EQ(scale->value(), 400);
            QLineEdit* footer = child<QLineEdit>(d, "DownFooter");
            footer->setFocus();
            QFocusEvent focusIn(QEvent::FocusIn); // an offscreen window may not take focus
            QCoreApplication::sendEvent(footer, &focusIn);
            QTest::mouseClick(child<QAbstractButton>(d, "sbCode3"), Qt::LeftButton);
            QTest::mouseClick(child<QAbstractButton>(d, "sbCode4"), Qt::LeftButton);
            child<QAbstractButton>(d, "btnOK")->click();
        },
        [&] { trigger("imPageParam"); });
    for (int s = 1; s <= book().sheetCount(); ++s) {
        EXPECT_DOUBLE_EQ(book().sheet(s).printSettings().leftMargin, 0.4) << s;
        EXPECT_EQ(book().sheet(s).printSettings().scale, 400) << s;
        EXPECT_EQ(book().sheet(s).printSettings().footer, QStringLiteral("&P &N страниц ")) << s;
    }
    // Opening and confirming again changes nothing; unticked, only the active sheet.
    whileModal(
        [&] {
            TfmSetParam& d = m_window->fmSetParam();
            EXPECT_EQ(child<QLineEdit>(d, "DownFooter")->text(), QStringLiteral("&P &N страниц "));
            child<QCheckBox>(d, "ChangeAll")->setChecked(false);
            child<QLineEdit>(d, "LMargin")->setText(QStringLiteral("0.9"));
            QSpinBox* scale = child<QSpinBox>(d, "SpinEdit1");
            scale->setValue(5);
            emit scale->editingFinished();
            child<QAbstractButton>(d, "btnOK")->click();
        },
        [&] { trigger("imPageParam"); });
    EXPECT_DOUBLE_EQ(sheet1().printSettings().leftMargin, 0.9);
    EXPECT_EQ(sheet1().printSettings().scale, 10);
    EXPECT_DOUBLE_EQ(book().sheet(2).printSettings().leftMargin, 0.4);
    EXPECT_EQ(book().sheet(2).printSettings().footer, QStringLiteral("&P &N страниц "));
}

TEST_F(PrintWindowsTest, ThePreviewHidesTheTitleLinesWhileOpenAndPagesThroughTheTable) {
    open(200);
    twoTitleLinesAndText();
    SharedPreviewPager() = PreviewPager();
    int count = 0;
    bool hiddenWhileOpen = false, backAtFirst = false, onAtLast = true;
    QString label;
    whileModal(
        [&] {
            TfmPPrev& p = m_window->fmPPrev();
            hiddenWhileOpen = sheet1().rowHidden(98) && sheet1().rowHidden(99);
            count = p.pageLayout()->pageCount();
            backAtFirst = p.action(QStringLiteral("sbPrev"))->isEnabled();
            for (int i = 0; i < count + 2; ++i)
                p.action(QStringLiteral("sbNext"))->trigger();
            onAtLast = p.action(QStringLiteral("sbNext"))->isEnabled();
            label = p.findChild<QLabel*>(QStringLiteral("lbPage"))->text();
            p.action(QStringLiteral("sbClose"))->trigger();
        },
        [&] { trigger("imProsm"); });
    EXPECT_TRUE(hiddenWhileOpen);
    EXPECT_GE(count, 2);
    EXPECT_FALSE(backAtFirst);
    EXPECT_FALSE(onAtLast);
    EXPECT_EQ(label, QStringLiteral("Страница %1 из %1").arg(count));
    EXPECT_FALSE(sheet1().rowHidden(98));
    EXPECT_FALSE(sheet1().rowHidden(99));
    EXPECT_FALSE(sheet1().rowHidden(kFirstTextRow)) << "the accompanying text stays shown";
    // The header row is printed again on the second page.
    const PrintSettings& ps = sheet1().printSettings();
    EXPECT_EQ(ps.titleRow1, 100);
    EXPECT_EQ(ps.titleRow2, 100);
    EXPECT_EQ(ps.printArea, CellRange(21, 2, 300, 3));

    // Another table of one page: the kept page number comes back to 1.
    EXPECT_EQ(SharedPreviewPager().page(), count);
    open(2);
    bool onAfter = true;
    whileModal(
        [&] {
            TfmPPrev& p = m_window->fmPPrev();
            label = p.findChild<QLabel*>(QStringLiteral("lbPage"))->text();
            p.action(QStringLiteral("sbNext"))->trigger();
            onAfter = p.action(QStringLiteral("sbNext"))->isEnabled();
            p.action(QStringLiteral("sbClose"))->trigger();
        },
        [&] { trigger("imProsm"); });
    EXPECT_EQ(label, QStringLiteral("Страница 1 из 1"));
    EXPECT_EQ(SharedPreviewPager().page(), 1);
    EXPECT_FALSE(onAfter);
}

TEST_F(PrintWindowsTest, AnEmptyTableIsNotPreviewed) {
    open(0);
    book().clearCell(1, 100, 3);
    trigger("SBpreview");
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Таблица пуста")});
}

TEST_F(PrintWindowsTest, ThePreviewSavesItsPagesAsAPdf) {
    open(150);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table"));
    m_prompter.file(path);
    int count = 0;
    whileModal(
        [&] {
            TfmPPrev& p = m_window->fmPPrev();
            count = p.pageLayout()->pageCount();
            p.action(QStringLiteral("sbPdf"))->trigger();
            p.action(QStringLiteral("sbClose"))->trigger();
        },
        [&] { trigger("imProsm"); });
    QFile pdf(path + QStringLiteral(".pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GE(count, 2);
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              count);
    EXPECT_TRUE(messages().isEmpty()) << messages().value(0).toStdString();

    // A folder that does not exist: told, no file.
    m_prompter.file(dir.filePath(QStringLiteral("none/table.pdf")));
    whileModal(
        [&] {
            m_window->fmPPrev().action(QStringLiteral("sbPdf"))->trigger();
            m_window->fmPPrev().action(QStringLiteral("sbClose"))->trigger();
        },
        [&] { trigger("imProsm"); });
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().value(0).startsWith(QStringLiteral("Не удалось сохранить PDF-файл")));
}

TEST_F(PrintWindowsTest, PageBreakMarkingPutsTheBreaksWhereThePagesAreCut) {
    open(200);
    QAction* parts = m_window->action(QStringLiteral("MPageParts"));
    parts->trigger();
    EXPECT_TRUE(parts->isChecked());
    EXPECT_TRUE(sheet1().rowBreaks().isEmpty()) << "the breaks come with the mouse";
    emit m_window->Book->OnMouseUp(Qt::LeftButton, {}, 0, 0);
    const PageLayout layout(sheet1());
    ASSERT_FALSE(layout.rowStarts().isEmpty());
    EXPECT_EQ(sheet1().rowBreaks(), layout.rowStarts());
    parts->trigger();
    EXPECT_TRUE(sheet1().rowBreaks().isEmpty());
}

TEST_F(PrintWindowsTest, TheTablePageIsNamedByTheTableWhateverNameIsChosen) {
    open(3);
    QTemporaryDir dir;
    m_prompter.file(dir.filePath(QStringLiteral("report.htm")));
    trigger("imHTML");
    const int kod = m_window->document().table().kodElmt;
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("T%1.HTM").arg(kod))));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("report.htm"))));
    EXPECT_TRUE(messages().isEmpty());

    m_prompter.file(dir.filePath(QStringLiteral("none/report.htm")));
    trigger("imHTML");
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Не удалось сохранить HTML-страницы\r\n\r\n"
                                                     "Папка \"%1\" не существует")
                                          .arg(dir.filePath(QStringLiteral("none")))});
}
