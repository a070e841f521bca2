// Record layer against the same query run directly, over 100,000 gas entries.
// Run: build/tests/bench_recordset  (not part of the test suite)

#include "TestEnvironment.h"
#include "db/Database.h"
#include "db/sets/GasLogSet.h"

#include <QSqlQuery>
#include <QTest>

class RecordSetBenchmark : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    Database m_db;
    const QString m_filter = QStringLiteral("VehicleID < 900 AND Date >= '19990101'");

private slots:
    void initTestCase()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_env->createDatabase(m_db);
        Transaction transaction(m_db);
        QSqlQuery insert = m_db.prepare(QStringLiteral(
            "INSERT INTO GasLog (GasLogID, VehicleID, Mileage, BriefDesc, StationID, Date, TotalCost, CostGallon, "
            "Gallons, Fillup, Estimated) VALUES (?, ?, ?, '', 0, ?, ?, ?, ?, -1, 0)"));
        for (int id = 1; id <= 100000; ++id) {
            insert.addBindValue(id);
            insert.addBindValue(id % 1000);
            insert.addBindValue(id * 3);
            insert.addBindValue(QStringLiteral("2000%1%2").arg(1 + id % 12, 2, 10, QLatin1Char('0')).arg(1 + id % 28, 2, 10, QLatin1Char('0')));
            insert.addBindValue(30.0 + id % 17);
            insert.addBindValue(2.999);
            insert.addBindValue(10.0 + id % 5);
            m_db.exec(insert);
        }
        transaction.commit();
    }

    void recordSetOpenAndMoveThroughAll()
    {
        qint64 total = 0;
        QBENCHMARK {
            CGasLogSet gas(m_db);
            gas.m_strFilter = m_filter;
            gas.m_strSort = QStringLiteral("Mileage Asc, Date Asc");
            gas.open();
            while (!gas.isEOF()) {
                total += gas.m_Mileage;
                gas.moveNext();
            }
            gas.close();
        }
        QVERIFY(total > 0);
    }

    void rawQueryOverTheSameRows()
    {
        qint64 total = 0;
        QBENCHMARK {
            QSqlQuery query(m_db.connection());
            query.setForwardOnly(true);
            query.exec(QStringLiteral("SELECT CostGallon, Date, Gallons, GasLogID, Mileage, StationID, TotalCost, "
                                      "VehicleID, BriefDesc, Fillup, Estimated FROM GasLog WHERE ") +
                       m_filter + QStringLiteral(" ORDER BY Mileage Asc, Date Asc"));
            while (query.next()) {
                for (int i = 0; i < 11; ++i)
                    total += query.value(i).isValid() ? 1 : 0;
            }
        }
        QVERIFY(total > 0);
    }

    void nextIdentifier()
    {
        qint32 next = 0;
        QBENCHMARK {
            CGasLogSet gas(m_db);
            next = gas.nextIdentifier();
        }
        QCOMPARE(next, 100001);
    }

    void rawMaximum()
    {
        qint32 next = 0;
        QBENCHMARK {
            QSqlQuery query(m_db.connection());
            query.exec(QStringLiteral("SELECT MAX(GasLogID) FROM GasLog"));
            query.next();
            next = query.value(0).toInt() + 1;
        }
        QCOMPARE(next, 100001);
    }
};

QTEST_GUILESS_MAIN(RecordSetBenchmark)
#include "bench_recordset.moc"
