#include "worksheet/worksheet.h"

#include "question/copy_file.h"

namespace tavola {

Worksheet makeWorksheet(const UnitData& unit, bool answersShown)
{
    Worksheet sheet;
    copyPageContent(sheet, unit);
    sheet.builtTitle = unit.builtTitle;
    sheet.kgroup = unit.kgroup;
    sheet.softkey = unit.softkey;
    sheet.settings = unitSettings(unit, answersShown);
    sheet.path = unit.path;
    sheet.windowKey = unit.windowKey;
    sheet.shortKey = unit.shortKey;
    sheet.position = unit.position;
    sheet.master = unit.fromMaster;
    return sheet;
}

void takeContent(Worksheet& sheet, const UnitData& unit)
{
    copyPageContent(sheet, unit);
    sheet.builtTitle = unit.builtTitle;
    sheet.changed = true;
}

UnitData worksheetContent(const Worksheet& sheet)
{
    UnitData unit;
    copyPageContent(unit, sheet);
    unit.builtTitle = sheet.builtTitle;
    unit.header = {sheet.title, sheet.school, sheet.name};
    unit.kgroup = sheet.kgroup;
    unit.softkey = sheet.softkey;
    unit.value = sheet.settings.valueLines();
    unit.font = sheet.settings.fontLines();
    unit.kran = sheet.settings.kranLines();
    unit.hasValue = unit.hasFont = unit.hasKran = true;
    unit.path = sheet.path;
    unit.shortKey = sheet.shortKey;
    unit.windowKey = sheet.windowKey;
    unit.position = sheet.position;
    unit.fromMaster = sheet.master;
    return unit;
}

CopyRecord copyRecordOf(const Worksheet& sheet)
{
    return copyRecordOf(worksheetContent(sheet), sheet.settings);
}

} // namespace tavola
