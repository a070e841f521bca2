#pragma once

#include "forms/FormView.h"
#include "reports/ReportLayout.h"

#include <memory>

class CDateField;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace Report {
class ReportJob;
}

// The report form: a report, an owner, a vehicle and a date range are chosen, and the report is printed,
// previewed or exported as a PDF file. Every page is drawn from the job's recorded page starts.
class CReportView : public CFormView
{
    Q_OBJECT

public:
    CReportView(CAppContext& app, CVelDoc& doc, QWidget* parent = nullptr);
    ~CReportView() override;

    // a: the report code; b: a job order id for the Job Orders report.
    void enter(int a, int b) override;
    void onDocumentUpdate(int hint) override;
    void commandHome() override;
    bool canPrint() const override { return true; }
    void commandPrint() override { print(); }

    void selectReport(int code, qint32 jobOrderId = 0);
    int reportCode() const;
    QString jobOrderRestriction() const { return m_restriction; }
    // Validates the date range (the message names the field and the focus goes there) and gathers the
    // choices; false when the report must not be printed.
    bool prepareOptions(Report::Options* options);
    // Paginates for a printable area (hundredths of an inch) with a progress dialog that can cancel.
    std::unique_ptr<Report::ReportJob> paginate(const Report::Options& options, double width, double height);

    void print();
    void preview();
    void exportPdf();
    void selectJobOrders();

private:
    void applyReportRule();
    void fillOwners();
    void fillVehicles();
    void applyPreset(int preset);
    void loadSettings();
    void saveSettings();
    void setUpPrinter(QPrinter& printer, int code) const;

    QComboBox* m_reports = nullptr;
    QComboBox* m_owners = nullptr;
    QComboBox* m_vehicles = nullptr;
    QComboBox* m_ranges = nullptr;
    CDateField* m_begin = nullptr;
    CDateField* m_end = nullptr;
    QCheckBox* m_companyInfo = nullptr;
    QLineEdit* m_companyLines[4] = {};
    QCheckBox* m_colourGraphs = nullptr;
    QPushButton* m_selectJobOrders = nullptr;
    QString m_restriction;
};
