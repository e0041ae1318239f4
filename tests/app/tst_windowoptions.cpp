#include "app/windowoptions.h"

#include <QtTest>

using namespace tarrow;

class TestWindowOptions : public QObject {
    Q_OBJECT
  private slots:
    void placeText_data();
    void placeText();
    void placeOnScreens_data();
    void placeOnScreens();
    void lastPage_data();
    void lastPage();
};

void TestWindowOptions::placeText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("plain") << "10,20,820,700" << true << QRect(10, 20, 820, 700) << false;
    QTest::newRow("maximized") << "0,0,820,700,maximized" << true << QRect(0, 0, 820, 700) << true;
    QTest::newRow("left of the primary screen")
        << "-1200,5,800,600" << true << QRect(-1200, 5, 800, 600) << false;
    QTest::newRow("blanks") << " 1, 2 ,3,4 " << true << QRect(1, 2, 3, 4) << false;
    QTest::newRow("empty") << "" << false << QRect() << false;
    QTest::newRow("three numbers") << "1,2,3" << false << QRect() << false;
    QTest::newRow("no size") << "1,2,0,700" << false << QRect() << false;
    QTest::newRow("text") << "a,b,c,d" << false << QRect() << false;
    QTest::newRow("other fifth word") << "1,2,3,4,minimized" << false << QRect() << false;
    QTest::newRow("absurd") << "1,2,3,99999999" << false << QRect() << false;
}

void TestWindowOptions::placeText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QRect, rect);
    QFETCH(bool, maximized);
    const auto place = windowPlaceFromText(text);
    QCOMPARE(place.has_value(), valid);
    if (!place) return;
    QCOMPARE(place->rect, rect);
    QCOMPARE(place->maximized, maximized);
    // What is written reads back the same.
    const auto again = windowPlaceFromText(windowPlaceText(*place));
    QVERIFY(again.has_value());
    QCOMPARE(again->rect, rect);
    QCOMPARE(again->maximized, maximized);
}

void TestWindowOptions::placeOnScreens_data() {
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("placed");
    const QRect primary(0, 0, 1920, 1040);
    const QRect small(0, 0, 1024, 738);
    const QRect secondLeft(-1280, 0, 1280, 1024);
    QTest::newRow("fits") << QRect(100, 80, 820, 700) << QList<QRect>{primary} << QRect(100, 80, 820, 700);
    QTest::newRow("past the right edge")
        << QRect(1800, 80, 820, 700) << QList<QRect>{primary} << QRect(1100, 80, 820, 700);
    QTest::newRow("above the top") << QRect(100, -300, 820, 700) << QList<QRect>{primary}
                                   << QRect(100, 0, 820, 700);
    QTest::newRow("larger than a small screen")
        << QRect(0, 0, 1600, 1000) << QList<QRect>{small} << QRect(0, 0, 1024, 738);
    QTest::newRow("on a screen since unplugged")
        << QRect(-1000, 100, 820, 700) << QList<QRect>{primary} << QRect(0, 100, 820, 700);
    QTest::newRow("on the second screen")
        << QRect(-1000, 100, 820, 700) << QList<QRect>{primary, secondLeft} << QRect(-1000, 100, 820, 700);
    QTest::newRow("mostly on the second screen")
        << QRect(-700, 100, 820, 700) << QList<QRect>{primary, secondLeft} << QRect(-820, 100, 820, 700);
    QTest::newRow("far away") << QRect(50000, 50000, 820, 700) << QList<QRect>{primary, secondLeft}
                              << QRect(1100, 340, 820, 700);
    QTest::newRow("tiny grows to the least size")
        << QRect(10, 10, 50, 40) << QList<QRect>{primary} << QRect(10, 10, 640, 480);
    QTest::newRow("screen offset by a panel")
        << QRect(0, 0, 820, 700) << QList<QRect>{QRect(64, 32, 1856, 1008)} << QRect(64, 32, 820, 700);
}

void TestWindowOptions::placeOnScreens() {
    QFETCH(QRect, wanted);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, placed);
    QCOMPARE(tarrow::placeOnScreens(wanted, screens, QSize(640, 480)), placed);
}

void TestWindowOptions::lastPage_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("page");
    QTest::newRow("first") << "0" << 0;
    QTest::newRow("last") << "5" << 5;
    QTest::newRow("past the last") << "6" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("text") << "Info" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestWindowOptions::lastPage() {
    QFETCH(QString, text);
    QFETCH(int, page);
    QCOMPARE(lastPageFromText(text, 6), page);
}

QTEST_GUILESS_MAIN(TestWindowOptions)
#include "tst_windowoptions.moc"
