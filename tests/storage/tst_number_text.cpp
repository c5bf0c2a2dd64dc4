// Numbers typed into the dialogs: the leading number, never a failure.
#include <QtTest>

#include "storage/number_text.h"

using namespace orbo;

class NumberTextTest : public QObject {
  Q_OBJECT

 private slots:
  void leadingNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("read");
    QTest::newRow("blanks and a unit") << "  12 px" << 12.0;
    QTest::newRow("sign and fraction") << "-3.5" << -3.5;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent without digits") << "7e" << 7.0;
    QTest::newRow("only a sign") << "+" << 0.0;
    QTest::newRow("only a point") << "." << 0.0;
    QTest::newRow("too large for a double") << "1e400" << 0.0;
    QTest::newRow("other digits") << QString::fromUtf8("\u0663\u0664") << 0.0;
  }
  void leadingNumber() {
    QFETCH(QString, typed);
    QTEST(LeadingNumber(typed), "read");
  }
};

QTEST_MAIN(NumberTextTest)
#include "tst_number_text.moc"
