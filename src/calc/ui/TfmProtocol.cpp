#include "TfmProtocol.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include "AppContext.h"
#include "Prompter.h"
#include "ProtocolFile.h"
#include "ProtocolRuler.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kFilter = QStringLiteral(
    "Форматированный текст (*.RTF)|*.RTF|Только текст (*.TXT)|*.TXT|Все форматы (*.*)|*.*");

} // namespace

TfmProtocol::TfmProtocol(Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("fmProtocol"));
    SetHelpContext(this, HelpContexts::Protocol);
    setWindowTitle(QStringLiteral("Протокол ошибок ..."));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(760, 520);

    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setAcceptRichText(true);
    QFont fixed(QStringLiteral("Courier New"), 10);
    fixed.setStyleHint(QFont::TypeWriter);
    Editor->document()->setDefaultFont(fixed);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("&Файл"));
    connect(addAction(file, QStringLiteral("FileNewItem"), QStringLiteral("&Новый"),
                      QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &TfmProtocol::fileNew);
    connect(addAction(file, QStringLiteral("FileOpenItem"), QStringLiteral("&Открыть..."),
                      QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &TfmProtocol::fileOpen);
    connect(addAction(file, QStringLiteral("FileSaveItem"), QStringLiteral("&Сохранить"),
                      QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &TfmProtocol::fileSave);
    connect(addAction(file, QStringLiteral("FileSaveAsItem"), QStringLiteral("Сохранить &как...")),
            &QAction::triggered, this, &TfmProtocol::fileSaveAs);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("FilePrintItem"), QStringLiteral("&Печать"),
                      QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, &TfmProtocol::filePrint);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("FileExitItem"), QStringLiteral("&Выход"),
                      QKeySequence(Qt::ALT | Qt::Key_X)),
            &QAction::triggered, this, &QDialog::close);

    QMenu* edit = menuBar->addMenu(QStringLiteral("&Редактирование"));
    connect(addAction(edit, QStringLiteral("EditUndoItem"), QStringLiteral("Отмена"),
                      QKeySequence(Qt::CTRL | Qt::Key_Z)),
            &QAction::triggered, Editor, &QTextEdit::undo);
    edit->addSeparator();
    connect(addAction(edit, QStringLiteral("EditCutItem"), QStringLiteral("Вырезать"),
                      QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, Editor, &QTextEdit::cut);
    connect(addAction(edit, QStringLiteral("EditCopyItem"), QStringLiteral("Копировать"),
                      QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, Editor, &QTextEdit::copy);
    connect(addAction(edit, QStringLiteral("EditPasteItem"), QStringLiteral("Вставить"),
                      QKeySequence(Qt::CTRL | Qt::Key_V)),
            &QAction::triggered, Editor, &QTextEdit::paste);
    edit->addSeparator();
    connect(addAction(edit, QStringLiteral("EditFontItem"), QStringLiteral("&Шрифт...")),
            &QAction::triggered, this, [this] {
                bool ok = false;
                const QFont f = QFontDialog::getFont(&ok, Editor->currentFont(), this);
                if (ok)
                    Editor->setCurrentFont(f);
            });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    buildToolBar(layout);
    layout->addWidget(new ProtocolRuler(Editor, this));
    layout->addWidget(Editor, 1);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setSizeGripEnabled(false);
    m_position = new QLabel(status);
    m_position->setObjectName(QStringLiteral("StatusPanel0"));
    m_modified = new QLabel(status);
    m_modified->setObjectName(QStringLiteral("StatusPanel1"));
    status->addWidget(m_position);
    status->addWidget(m_modified, 1);
    layout->addWidget(status);

    connect(Editor, &QTextEdit::cursorPositionChanged, this, &TfmProtocol::updateStatus);
    connect(Editor, &QTextEdit::currentCharFormatChanged, this, &TfmProtocol::updateFormatButtons);
    connect(Editor->document(), &QTextDocument::modificationChanged, this,
            &TfmProtocol::updateStatus);
    connect(Editor, &QTextEdit::copyAvailable, this, [this](bool yes) {
        action(QStringLiteral("EditCutItem"))->setEnabled(yes);
        action(QStringLiteral("EditCopyItem"))->setEnabled(yes);
    });
    action(QStringLiteral("EditCutItem"))->setEnabled(false);
    action(QStringLiteral("EditCopyItem"))->setEnabled(false);
    updateStatus();
}

QAction* TfmProtocol::addAction(QMenu* menu, const QString& name, const QString& caption,
                                const QKeySequence& key) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setShortcut(key);
    menu->addAction(a);
    return a;
}

QAction* TfmProtocol::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void TfmProtocol::buildToolBar(QVBoxLayout* layout) {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    for (const char* name : {"FileOpenItem", "FileSaveItem", "FilePrintItem"})
        bar->addAction(action(QString::fromLatin1(name)));
    bar->addSeparator();
    for (const char* name : {"EditUndoItem", "EditCutItem", "EditCopyItem", "EditPasteItem"})
        bar->addAction(action(QString::fromLatin1(name)));
    bar->addSeparator();
    m_fontName = new QFontComboBox(bar);
    m_fontName->setObjectName(QStringLiteral("FontName"));
    bar->addWidget(m_fontName);
    connect(m_fontName, &QFontComboBox::currentFontChanged, this, [this](const QFont& f) {
        QTextCharFormat cf;
        cf.setFontFamilies({f.family()});
        Editor->mergeCurrentCharFormat(cf);
    });
    m_fontSize = new QSpinBox(bar);
    m_fontSize->setObjectName(QStringLiteral("FontSize"));
    m_fontSize->setRange(4, 96);
    m_fontSize->setValue(10);
    bar->addWidget(m_fontSize);
    connect(m_fontSize, &QSpinBox::valueChanged, this, [this](int size) {
        QTextCharFormat cf;
        cf.setFontPointSize(size);
        Editor->mergeCurrentCharFormat(cf);
    });
    bar->addSeparator();
    auto toggle = [&](const char* name, const QString& caption, auto apply) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, apply](bool on) {
            QTextCharFormat cf;
            apply(cf, on);
            Editor->mergeCurrentCharFormat(cf);
        });
    };
    toggle("BoldButton", QStringLiteral("Ж"), [](QTextCharFormat& cf, bool on) {
        cf.setFontWeight(on ? QFont::Bold : QFont::Normal);
    });
    toggle("ItalicButton", QStringLiteral("К"),
           [](QTextCharFormat& cf, bool on) { cf.setFontItalic(on); });
    toggle("UnderlineButton", QStringLiteral("Ч"),
           [](QTextCharFormat& cf, bool on) { cf.setFontUnderline(on); });
    bar->addSeparator();
    for (const auto& [name, caption, align] :
         {std::tuple{"LeftAlign", "Влево", Qt::AlignLeft},
          std::tuple{"CenterAlign", "По центру", Qt::AlignHCenter},
          std::tuple{"RightAlign", "Вправо", Qt::AlignRight}}) {
        QAction* a = bar->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, align] { Editor->setAlignment(align); });
    }
    QAction* bullets = bar->addAction(QStringLiteral("Список"));
    bullets->setObjectName(QStringLiteral("BulletsButton"));
    bullets->setCheckable(true);
    connect(bullets, &QAction::triggered, this, [this](bool on) {
        QTextCursor c = Editor->textCursor();
        if (on) {
            c.createList(QTextListFormat::ListDisc);
        } else if (QTextList* list = c.currentList()) {
            list->remove(c.block());
            QTextBlockFormat bf = c.blockFormat();
            bf.setIndent(0);
            c.setBlockFormat(bf);
        }
    });
    layout->addWidget(bar);
}

void TfmProtocol::updateFormatButtons() {
    const QTextCharFormat cf = Editor->currentCharFormat();
    action(QStringLiteral("BoldButton"))->setChecked(cf.fontWeight() >= QFont::Bold);
    action(QStringLiteral("ItalicButton"))->setChecked(cf.fontItalic());
    action(QStringLiteral("UnderlineButton"))->setChecked(cf.fontUnderline());
    const QSignalBlocker b1(m_fontName);
    const QSignalBlocker b2(m_fontSize);
    m_fontName->setCurrentFont(cf.font());
    if (cf.fontPointSize() > 0)
        m_fontSize->setValue(int(cf.fontPointSize()));
}

void TfmProtocol::updateStatus() {
    const QTextCursor c = Editor->textCursor();
    m_position->setText(
        QString::asprintf("Стр.: %3d   Стл: %3d", c.blockNumber() + 1, c.positionInBlock() + 1));
    m_modified->setText(Editor->document()->isModified() ? QStringLiteral("Коррект") : QString());
}

void TfmProtocol::setFileName(const QString& name) {
    m_fileName = name;
}

void TfmProtocol::setProtocol(const ProtocolText& protocol) {
    m_title = protocol.caption;
    setWindowTitle(protocol.caption);
    QString text = protocol.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    Editor->setPlainText(text);
    Editor->document()->setModified(false);
    setFileName(QStringLiteral("Untitled"));
    updateStatus();
}

QString TfmProtocol::plainText() const {
    return Editor->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TfmProtocol::fileNew() {
    Editor->clear();
    Editor->document()->setModified(false);
    setFileName(QStringLiteral("Untitled"));
    updateStatus();
}

void TfmProtocol::fileOpen() {
    const QString path =
        m_prompter.openFileName(QStringLiteral("Открыть"), AppContext::programFolder(), kFilter);
    if (!path.isEmpty())
        openFile(path);
}

void TfmProtocol::openFile(const QString& path) {
    QTextDocument doc;
    doc.setDefaultFont(Editor->document()->defaultFont());
    QString error;
    if (!ProtocolFile::load(path, doc, &error)) {
        m_prompter.error(error);
        return;
    }
    Editor->setDocument(doc.clone(Editor));
    connect(Editor->document(), &QTextDocument::modificationChanged, this,
            &TfmProtocol::updateStatus);
    Editor->document()->setModified(false);
    setFileName(path);
    updateStatus();
}

bool TfmProtocol::saveFile(const QString& path) {
    QString error;
    if (!ProtocolFile::save(path, *Editor->document(), &error)) {
        m_prompter.error(error);
        return false;
    }
    setFileName(path);
    Editor->document()->setModified(false);
    updateStatus();
    return true;
}

bool TfmProtocol::fileSave() {
    if (m_fileName == QLatin1String("Untitled"))
        return fileSaveAs();
    return saveFile(m_fileName);
}

bool TfmProtocol::fileSaveAs() {
    QString path = m_prompter.saveFileName(QStringLiteral("Сохранить как"),
                                           AppContext::programFolder(), kFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".RTF");
    if (QFileInfo::exists(path) &&
        m_prompter.ask(QStringLiteral("OK to overwrite %1").arg(path), QuestionButtons::YesNoCancel,
                       Answer::Yes, Prompter::confirmationCaption()) != Answer::Yes)
        return false;
    return saveFile(path);
}

void TfmProtocol::filePrint() {
    const int where = m_prompter.choose(
        QStringLiteral("Печать"), {QStringLiteral("На принтер"), QStringLiteral("В файл PDF")}, 0);
    if (where < 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_fileName);
    if (where == 1) {
        QString path = m_prompter.saveFileName(QStringLiteral("Печать в файл PDF"),
                                               AppContext::programFolder(),
                                               QStringLiteral("Файлы PDF (*.pdf)|*.pdf"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    } else {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    Editor->document()->print(&printer);
}

bool TfmProtocol::maySave() {
    if (!Editor->document()->isModified())
        return true;
    switch (m_prompter.ask(QStringLiteral("Записать как %1?").arg(m_fileName),
                           QuestionButtons::YesNoCancel, Answer::Yes,
                           Prompter::confirmationCaption())) {
    case Answer::Yes:
        return fileSave();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void TfmProtocol::closeEvent(QCloseEvent* event) {
    if (!maySave()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void TfmProtocol::reject() {
    if (maySave())
        QDialog::done(QDialog::Rejected);
}
