#pragma once

#include "reports/PageCanvas.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>
#include <vector>

class Database;

// What the report bodies hand to the page engine: per vehicle, blocks of drawing steps that stay together
// on a page, with the room each needs.
namespace Report {

// One drawing step, at a position relative to the top left corner of its block.
struct Op
{
    enum Kind { Text, Line, Rect };
    Kind kind = Text;
    double x = 0;
    double y = 0;
    double width = 0;  // lines: the end point is (x + width, y + height)
    double height = 0;
    Font font = Font::Body;
    QString text;
    std::optional<Rgb> fill; // a text's background, a rectangle's fill
    std::optional<Pen> pen;  // a line's or a rectangle's outline
};

struct Block
{
    double height = 0;   // how far the cursor moves
    double need = 0;     // the room it must find on the page (at least its height)
    bool ownPage = false; // alone on its page, placed from the top of the body
    std::vector<Op> ops;

    // Helpers for bodies: a text line "lines" body lines below the block's top, at an x offset.
    void text(double lines, const QString& line, double x = 0, Font font = Font::Body);
    void textAt(double x, double y, const QString& line, Font font = Font::Body);
    void line(double x1, double y1, double x2, double y2, const Pen& pen = {});
    void rect(double x, double y, double width, double height, std::optional<Pen> pen, std::optional<Rgb> fill);
    // Moves the cursor by that many body lines and makes them the room needed.
    void lines(double count);
};

struct VehicleBlocks
{
    Block head;          // placed with the first row when the vehicle starts
    std::vector<Block> rows;
    Block continuation;  // repeated at the top of a page that continues the vehicle
};

// The geometry of the job's pages (hundredths of an inch).
struct Layout
{
    double pageWidth = 0;
    double pageHeight = 0;
    double blockLeft = 0;
    double blockWidth = 0;
    double usableHeight = 0;
    double bodyTop = 0;
    double line = 0; // body line height
    int lineWidth = 81;
};

struct Owner
{
    qint32 ownerId = 0;
    QString companyName, locationId, lastName, firstName, address1, address2, city, state, zipCode, phone, fax;
};

struct Vehicle
{
    qint32 vehicleId = 0;
    int owner = 0; // index into the owners
    QString number, year, make, model, vin, license;
    qint64 reading = 0;
    int measurement = 0;
    int hours = 0;
};

// The owners and vehicles a report walks, in the order it prints them.
struct Fleet
{
    std::vector<Owner> owners;
    std::vector<Vehicle> vehicles;
};

struct Options
{
    int code = 0;
    qint32 ownerId = 0;   // 0: all owners
    qint32 vehicleId = 0; // 0: all vehicles
    QString beginStored;  // "YYYYMMDD" or empty
    QString endStored;
    bool companyInfo = false;
    QStringList companyLines;
    bool colourGraphs = true;
    QString jobOrderRestriction; // a condition on job orders, added with " AND "
};

Fleet loadFleet(Database& db, const Options& options);

// The condition and bound values that restrict a detail table's rows to the report's vehicles.
struct VehicleCondition
{
    QString sql; // empty, or "VehicleID = ?" / "VehicleID IN (...)"
    QList<QVariant> values;
};
VehicleCondition vehicleCondition(const Options& options, const QString& column = QStringLiteral("VehicleID"));

// A report's own part. The job reads its rows a few vehicles at a time as pages are laid out and drawn, so
// that the memory a report needs does not grow with the fleet.
class Body
{
public:
    virtual ~Body() = default;
    // Once per job, before any row is read: what is printed before all rows have been read (report totals).
    virtual void load(Database& db, const Fleet& fleet, const Options& options, const Layout& layout) = 0;
    // Reads the rows of these vehicles, replacing the ones held; returns how many rows it read.
    virtual int read(Database& db, const std::vector<qint32>& vehicleIds) = 0;
    // The blocks of a vehicle among the ones last read.
    virtual VehicleBlocks vehicle(int index) = 0;
    virtual bool ownerStartsPage() const { return true; }
    virtual int vehiclesPerPage() const { return 0; } // 0: as many as fit
    virtual QString footerNote() const { return {}; }
};

} // namespace Report
