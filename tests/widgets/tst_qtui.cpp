#include "widgets/QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace vantor::platform;
using vantor::widgets::QtUi;

Q_DECLARE_METATYPE(Buttons)
Q_DECLARE_METATYPE(Icon)
Q_DECLARE_METATYPE(Answer)

class tst_QtUi : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void messageBoxAsShown_data();
    void messageBoxAsShown();
    void busyPointerNests();
};

void tst_QtUi::cleanup()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_QtUi::messageBoxAsShown_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("press"); // QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("shownIcon");
    QTest::addColumn<Answer>("answer");

    QTest::newRow("no title shows the program's")
        << Buttons::Ok << Icon::Information << QString() << int(QMessageBox::Ok)
        << QStringLiteral("Vantor") << int(QMessageBox::Information) << Answer::Ok;
    QTest::newRow("question, yes")
        << Buttons::YesNo << Icon::Question << QStringLiteral("Compact Database")
        << int(QMessageBox::Yes) << QStringLiteral("Compact Database") << int(QMessageBox::Question)
        << Answer::Yes;
    QTest::newRow("question, escape is no")
        << Buttons::YesNo << Icon::Question << QString() << 0 << QStringLiteral("Vantor")
        << int(QMessageBox::Question) << Answer::No;
    QTest::newRow("exclamation") << Buttons::OkCancel << Icon::Exclamation << QString()
                                 << int(QMessageBox::Cancel) << QStringLiteral("Vantor")
                                 << int(QMessageBox::Warning) << Answer::Cancel;
    QTest::newRow("critical") << Buttons::Ok << Icon::Critical << QStringLiteral("No Records")
                              << int(QMessageBox::Ok) << QStringLiteral("No Records")
                              << int(QMessageBox::Critical) << Answer::Ok;
    QTest::newRow("no icon") << Buttons::Ok << Icon::None << QString() << int(QMessageBox::Ok)
                             << QStringLiteral("Vantor") << int(QMessageBox::NoIcon) << Answer::Ok;
}

void tst_QtUi::messageBoxAsShown()
{
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(QString, title);
    QFETCH(int, press);
    QFETCH(QString, shownTitle);
    QFETCH(int, shownIcon);
    QFETCH(Answer, answer);

    QString seenTitle;
    QString seenText;
    int seenIcon = -1;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    QtUi seam;
    const Answer got =
        seam.messageBox(QStringLiteral("Line one\r\n\r\nLine two"), buttons, icon, title);
    QCOMPARE(got, answer);
    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(seenIcon, shownIcon);
    QCOMPARE(seenText, QStringLiteral("Line one\n\nLine two"));
}

void tst_QtUi::busyPointerNests()
{
    QtUi seam;
    setUi(&seam);
    {
        BusyPointer outer;
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyPointer inner;
        }
        QVERIFY(QApplication::overrideCursor());
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    setUi(nullptr);
}

QTEST_MAIN(tst_QtUi)
#include "tst_qtui.moc"
