#pragma once

#include "fuel/LogImport.h"

#include <QDialog>

class CAppContext;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QTableWidget;

// File › Import Fuel Log: what was found in the chosen file (format, car, units, date order), the first
// rows as they will be stored with duplicates and conflicts marked, then the import itself.
class CImportLogDialog : public QDialog
{
    Q_OBJECT

public:
    CImportLogDialog(CAppContext& app, qint32 vehicleId, const QString& vehicleText, const QString& path,
                     QByteArray content, QWidget* parent = nullptr);

    // Runs the import the dialog shows; false (with the reason told) when it was refused.
    bool importRows();
    const LogImport::Result& result() const { return m_result; }

    // Asks for a file, shows the dialog, imports on OK and tells the summary. True when rows were written.
    static bool run(CAppContext& app, qint32 vehicleId, const QString& vehicleText, QWidget* parent);

private:
    LogImport::Options options() const;
    void refresh();

    CAppContext& m_app;
    qint32 m_vehicleId;
    QByteArray m_content;
    LogImport::Result m_result;
    QLabel* m_found = nullptr;
    QComboBox* m_car = nullptr;
    QComboBox* m_dateOrder = nullptr;
    QCheckBox* m_skipConflicts = nullptr;
    QTableWidget* m_preview = nullptr;
    QLabel* m_problem = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
