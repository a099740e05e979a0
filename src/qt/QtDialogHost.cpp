#include "qt/QtDialogHost.h"

#include "qt/X11KeyState.h"

#include "dialogs/BoxButtons.h"
#include "dialogs/BoxPlacement.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVector>
#include <QWindow>

namespace sorvane {
namespace {

// The standard button that carries a button code.
QDialogButtonBox::StandardButton standardButtonOf(int code)
{
    switch (code) {
    case BoxResult::Cancel:
        return QDialogButtonBox::Cancel;
    case BoxResult::Abort:
        return QDialogButtonBox::Abort;
    case BoxResult::Retry:
        return QDialogButtonBox::Retry;
    case BoxResult::Ignore:
        return QDialogButtonBox::Ignore;
    case BoxResult::Yes:
        return QDialogButtonBox::Yes;
    case BoxResult::No:
        return QDialogButtonBox::No;
    default:
        return QDialogButtonBox::Ok;
    }
}

QMessageBox::Icon iconOf(int type)
{
    switch (type & BoxType::IconMask) {
    case BoxType::IconStop:
        return QMessageBox::Critical;
    case BoxType::IconQuestion:
        return QMessageBox::Question;
    case BoxType::IconExclamation:
        return QMessageBox::Warning;
    case BoxType::IconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Texts arrive with CR LF line ends from scripts; the labels break on LF.
QString plainLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The caption of a standard button in the program's language, as the
// message boxes show it.
QString standardText(QDialogButtonBox::StandardButton button)
{
    QDialogButtonBox box(button);
    return box.button(button)->text();
}

// Makes the box a transient of the main window, so that the window manager
// keeps it above that always-on-top window. The box is not the window's
// child widget: it must not take on the window's style sheet or palette.
void keepAbove(QWidget *box, QWidget *mainWindow)
{
    if (!mainWindow || !mainWindow->windowHandle())
        return;
    box->winId();
    box->windowHandle()->setTransientParent(mainWindow->windowHandle());
}

// Moves a box that has its final size to its place, before it is mapped.
void placeBox(QWidget *box, const std::optional<Rect> &owner)
{
    QRect screen;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    const QSize size = box->frameGeometry().size();
    const Point at = BoxPlacement::place(owner, Rect{screen.x(), screen.y(), screen.width(), screen.height()},
                                         Size{size.width(), size.height()});
    box->move(at.x, at.y);
}

class PlacedMessageBox : public QMessageBox {
public:
    PlacedMessageBox(const std::optional<Rect> &owner, bool closable)
        : m_owner(owner)
        , m_closable(closable)
    {
        if (!closable) {
            setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                           & ~Qt::WindowCloseButtonHint);
        }
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        // The message box settles its size here; it is not mapped yet.
        QMessageBox::showEvent(event);
        placeBox(this, m_owner);
    }

    void closeEvent(QCloseEvent *event) override
    {
        if (!m_closable) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (!m_closable && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

private:
    std::optional<Rect> m_owner;
    bool m_closable;
};

class PlacedInputBox : public QDialog {
public:
    explicit PlacedInputBox(const InputBoxRequest &request)
        : m_owner(request.owner)
    {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        setWindowTitle(request.title);
        setFixedSize(InputBoxLayout::box.width, InputBoxLayout::box.height);

        auto *prompt = new QLabel(plainLines(request.prompt), this);
        prompt->setTextFormat(Qt::PlainText);
        m_edit = new QLineEdit(request.value, this);
        auto *ok = new QPushButton(standardText(QDialogButtonBox::Ok), this);
        auto *cancel = new QPushButton(standardText(QDialogButtonBox::Cancel), this);
        const auto put = [](QWidget *w, const Rect &r) { w->setGeometry(r.left, r.top, r.width, r.height); };
        put(prompt, InputBoxLayout::prompt);
        put(m_edit, InputBoxLayout::edit);
        put(ok, InputBoxLayout::okButton);
        put(cancel, InputBoxLayout::cancelButton);

        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        m_edit->selectAll();
        m_edit->setFocus();
    }

    QString text() const { return m_edit->text(); }

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        placeBox(this, m_owner);
    }

private:
    std::optional<Rect> m_owner;
    QLineEdit *m_edit = nullptr;
};

// A chooser placed like the boxes. Qt's own dialog is used, not the desktop's,
// so that it can be placed before it is mapped.
template <typename Chooser>
class PlacedChooser : public Chooser {
public:
    explicit PlacedChooser(const std::optional<Rect> &owner)
        : m_owner(owner)
    {
        this->setOption(Chooser::DontUseNativeDialog, true);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        Chooser::showEvent(event);
        placeBox(this, m_owner);
    }

private:
    std::optional<Rect> m_owner;
};

// The font chooser gives the family only (the size has 字-/字+), so its
// size box, which would be silently ignored, is not shown: the label, the
// field and the list of the size column of the dialog's grid.
void hideSizeBox(QFontDialog &dialog)
{
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    if (!grid)
        return;
    QLineEdit *sizeEdit = nullptr;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->text() == QFontDialog::tr("&Size"))
            sizeEdit = qobject_cast<QLineEdit *>(label->buddy());
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    const int index = sizeEdit ? grid->indexOf(sizeEdit) : -1;
    if (index < 0)
        return;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    // Only what sits in that column alone: the sample and the buttons span it.
    for (int i = 0; i < grid->count(); ++i) {
        int r = 0, c = 0, rs = 0, cs = 0;
        grid->getItemPosition(i, &r, &c, &rs, &cs);
        if (c == column && cs == 1 && grid->itemAt(i)->widget())
            grid->itemAt(i)->widget()->hide();
    }
}

// The first family of a CSS font-family list, without its quotes.
QString firstFamily(const QString &list)
{
    QString first = list.section(QLatin1Char(','), 0, 0).trimmed();
    if (first.size() >= 2 && (first.startsWith(QLatin1Char('\'')) || first.startsWith(QLatin1Char('"')))
        && first.endsWith(first.front()))
        first = first.mid(1, first.size() - 2);
    return first;
}

} // namespace

void QtDialogHost::setMainWindow(QWidget *window)
{
    m_mainWindow = window;
}

void QtDialogHost::setKeyState(X11KeyState *keys)
{
    m_keys = keys;
}

int QtDialogHost::run(QDialog &box)
{
    if (m_keys)
        m_keys->setBoxOpen(true);
    const int result = box.exec();
    if (m_keys)
        m_keys->setBoxOpen(false);
    return result;
}

int QtDialogHost::messageBox(const MessageBoxRequest &request)
{
    const BoxButtons kind = BoxButtons::ofType(request.type);

    PlacedMessageBox box(request.owner, kind.closeCode.has_value());
    box.setWindowTitle(request.caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(plainLines(request.text));
    box.setIcon(iconOf(request.type));

    // One role for all buttons keeps them in the order of the type on every
    // desktop; the default and escape buttons are chosen here, not by role.
    QVector<QPushButton *> buttons;
    for (int code : kind.codes) {
        QPushButton *button = box.addButton(standardText(standardButtonOf(code)), QMessageBox::ActionRole);
        buttons.append(button);
        if (kind.closeCode == code)
            box.setEscapeButton(button);
    }
    if (!request.firstButton.isEmpty())
        buttons[0]->setText(request.firstButton);
    if (!request.secondButton.isEmpty() && buttons.size() > 1)
        buttons[1]->setText(request.secondButton);
    box.setDefaultButton(buttons[kind.defaultIndex]);

    bool timedOut = false;
    if (request.timeoutMs > 0) {
        QTimer::singleShot(request.timeoutMs, Qt::PreciseTimer, &box, [&timedOut, &box] {
            timedOut = true;
            box.done(0);
        });
    }

    keepAbove(&box, m_mainWindow);
    run(box);
    if (timedOut)
        return BoxResult::TimedOut;
    if (const qsizetype i = buttons.indexOf(box.clickedButton()); i >= 0)
        return kind.codes[i];
    return kind.closeCode.value_or(BoxResult::Ok);
}

std::optional<QString> QtDialogHost::inputBox(const InputBoxRequest &request)
{
    PlacedInputBox box(request);
    keepAbove(&box, m_mainWindow);
    if (run(box) != QDialog::Accepted)
        return std::nullopt;
    return box.text();
}

std::optional<QString> QtDialogHost::chooseColor(const ColorChooserRequest &request)
{
    PlacedChooser<QColorDialog> chooser(request.owner);
    const QColor initial = QColor::fromString(request.initial);
    chooser.setCurrentColor(initial.isValid() ? initial : QColor(Qt::white));
    keepAbove(&chooser, m_mainWindow);
    if (run(chooser) != QDialog::Accepted)
        return std::nullopt;
    return chooser.selectedColor().name(QColor::HexRgb);
}

std::optional<QString> QtDialogHost::chooseFont(const FontChooserRequest &request)
{
    PlacedChooser<QFontDialog> chooser(request.owner);
    hideSizeBox(chooser);
    QFont initial;
    if (const QString family = firstFamily(request.family); !family.isEmpty())
        initial.setFamilies({family});
    chooser.setCurrentFont(initial);
    keepAbove(&chooser, m_mainWindow);
    if (run(chooser) != QDialog::Accepted)
        return std::nullopt;
    return chooser.selectedFont().family();
}

} // namespace sorvane
