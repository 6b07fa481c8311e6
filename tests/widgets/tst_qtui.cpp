#include "widgets/QtUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace vantor::platform;
using vantor::widgets::QtUi;

class tst_QtUi : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }
    void messageBoxAsShown_data();
    void messageBoxAsShown();
    void busyPointerNests();
};

void tst_QtUi::messageBoxAsShown_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("title"); // shown as the program's name when empty
    QTest::addColumn<int>("press");     // QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<int>("shownIcon");
    QTest::addColumn<Answer>("answer");

    QTest::newRow("information") << Buttons::Ok << Icon::Information << QString()
                                 << int(QMessageBox::Ok) << int(QMessageBox::Information)
                                 << Answer::Ok;
    QTest::newRow("question, yes")
        << Buttons::YesNo << Icon::Question << u"Compact Database"_s << int(QMessageBox::Yes)
        << int(QMessageBox::Question) << Answer::Yes;
    QTest::newRow("question, escape is no") << Buttons::YesNo << Icon::Question << QString() << 0
                                            << int(QMessageBox::Question) << Answer::No;
    QTest::newRow("exclamation") << Buttons::OkCancel << Icon::Exclamation << QString()
                                 << int(QMessageBox::Cancel) << int(QMessageBox::Warning)
                                 << Answer::Cancel;
    QTest::newRow("critical") << Buttons::Ok << Icon::Critical << u"No Records"_s
                              << int(QMessageBox::Ok) << int(QMessageBox::Critical) << Answer::Ok;
    QTest::newRow("no icon") << Buttons::Ok << Icon::None << QString() << int(QMessageBox::Ok)
                             << int(QMessageBox::NoIcon) << Answer::Ok;
}

void tst_QtUi::messageBoxAsShown()
{
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(QString, title);
    QFETCH(int, press);
    QFETCH(int, shownIcon);
    QFETCH(Answer, answer);

    QStringList seen;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen << box->windowTitle() << box->text() << QString::number(box->icon());
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(QtUi().messageBox(u"Line one\r\n\r\nLine two"_s, buttons, icon, title), answer);
    QCOMPARE(seen, (QStringList{title.isEmpty() ? u"Vantor"_s : title, u"Line one\n\nLine two"_s,
                                QString::number(shownIcon)}));
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
