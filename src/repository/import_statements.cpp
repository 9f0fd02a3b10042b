#include "repository/import_statements.h"

namespace korvo::repository {
namespace {

QString joinSlice(int slice) {
  return QStringLiteral(
             "(select s1.JN_DATAVALUE  from  TMP_JOIN_DATA s1   where s1.JOIN_ID = j.JOIN_ID and "
             "s1.UNIVERSE_ID = j.UNIVERSE_ID and s1.JN_SLICE = %1 )")
      .arg(slice);
}

QString objectSlice(const char* type, int slice, bool oneBlank) {
  return QStringLiteral(
             "(select obj_datavalue from TMP_OBJECT_DATA d where %1d.OBJECT_ID = o.OBJECT_ID and "
             "d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='%2' and d.OBJ_SLICE = %3 )")
      .arg(oneBlank ? QString() : QStringLiteral(" "), QLatin1String(type))
      .arg(slice);
}

QString derivedDate(const char* format, const char* code) {
  return QStringLiteral(
             "update KORVO_OBJECT o1 set o1.OB_SELECT = 'to_number(to_char('||(select o2.OB_SELECT "
             "from KORVO_OBJECT o2 where o2.OB_IDOBJ = o1.OB_BASICDATE_ID )||',''%1''))', "
             "o1.OB_POSITION = (select o2.OB_POSITION from KORVO_OBJECT o2 where o2.OB_IDOBJ = "
             "o1.OB_BASICDATE_ID ) where o1.OB_BASICDATE_ID <> 0 and  o1.OB_PROP like '%,%2,'")
      .arg(QLatin1String(format), QLatin1String(code));
}

}  // namespace

QString classCopyStatement() {
  return QStringLiteral(
      "Create table KORVO_CLASS_TMP as select c.CLASS_ID CL_IDCLASS, c.UNIVERSE_ID CL_IDUNIV, "
      "CLS_NAME CL_NAME,  CLS_BASECLASSID CL_IDPERE, substr(CLS_HIDDEN,1,1) CL_HIDDEN, "
      "CLS_POSITION CL_POSITION, CLS_DATAVALUE CL_COMMENT, 0 CL_NIVEAU from TMP_CLASS c, "
      "TMP_CLASS_DATA d where c.CLASS_ID = d.CLASS_ID(+) and c.UNIVERSE_ID = d.UNIVERSE_ID(+) and "
      "d.CLS_SLICE(+) = 1");
}

QStringList classLevelStatements() {
  QStringList statements = {
      "update KORVO_CLASS_TMP set CL_IDPERE = 0 where CL_IDPERE is null",
      "update KORVO_CLASS_TMP set CL_POSITION = 0 where CL_POSITION is null",
      "update KORVO_CLASS_TMP set CL_NIVEAU = 1 where CL_IDPERE = 0",
  };
  for (int level = 2; level <= 6; ++level) {
    statements << QStringLiteral(
                      "update KORVO_CLASS_TMP set CL_NIVEAU = %1 where CL_IDPERE  in (select "
                      "CL_IDCLASS from KORVO_CLASS_TMP where CL_NIVEAU = %2)")
                      .arg(level)
                      .arg(level - 1);
  }
  return statements;
}

QString classInsertStatement() {
  return QStringLiteral(
      "insert into KORVO_CLASS select * from KORVO_CLASS_TMP order by CL_NIVEAU, CL_POSITION");
}

QString joinInsertStatement() {
  QStringList slices;
  for (int s = 1; s <= 5; ++s) slices << joinSlice(s);
  return QStringLiteral(
             "insert into korvo_join select j.JOIN_ID,  j.UNIVERSE_ID, c.JN_TABLE1_ID, "
             "c.JN_TABLE2_ID, c.JN_PROP, %1 from TMP_JOIN_DATA j, TMP_JOINCONTENT c where  "
             "j.jn_slice = 1 and j.JOIN_ID = c.JOIN_ID and j.UNIVERSE_ID = c.UNIVERSE_ID")
      .arg(slices.join(QStringLiteral(" || ")));
}

QString objTabInsertStatement() {
  return QStringLiteral("insert into KORVO_OBJ_TAB select * from TMP_OBJ_TAB");
}

QString objectInsertStatement() {
  // The blanks between the slice questions vary as in the original text.
  const QString select = objectSlice("S", 1, false) + " || " + objectSlice("S", 2, false) + "|| " +
                         objectSlice("S", 3, false) + "|| " + objectSlice("S", 4, false) + "|| " +
                         objectSlice("S", 5, false);
  const QString where = objectSlice("W", 1, false) + " || " + objectSlice("W", 2, true) + "|| " +
                        objectSlice("W", 3, true) + "|| " + objectSlice("W", 4, false) + "|| " +
                        objectSlice("W", 5, false);
  return "insert into KORVO_OBJECT select o.OBJECT_ID, o.UNIVERSE_ID, o.CLASS_ID, o.OBJ_NAME, "
         "c.OBJ_PROP, substr(o.OBJ_HIDDEN,1,1), o.OBJ_POSITION, " +
         objectSlice("H", 1, false) + " as OB_COMMENT, " + select + " as OB_SELECT,  " + where +
         " as OB_WHERE, c.OBJ_BASICDATE_ID from  TMP_OBJCONTENT c, TMP_OBJECT o where  "
         "o.OBJECT_ID = c.OBJECT_ID and o.UNIVERSE_ID = c.UNIVERSE_ID";
}

QStringList objectDefaultStatements() {
  return {"update KORVO_OBJECT set OB_POSITION = 0 where OB_POSITION is null",
          "update KORVO_OBJECT set OB_BASICDATE_ID = 0 where OB_BASICDATE_ID is null"};
}

QStringList derivedDateStatements() {
  return {derivedDate("SYYYY", "Y"), derivedDate("MM", "M"), derivedDate("Q", "Q")};
}

QString tableInsertStatement() {
  return QStringLiteral(
      "insert into KORVO_TABLE select TABLE_ID, UNIVERSE_ID, TAB_NAME, ALIAS_TABLE from TMP_TABLE");
}

QString universeInsertStatement() {
  return QStringLiteral(
      "insert into KORVO_UNIVERS select UNIVERSE_ID, UNI_LONGNAME, UNI_VERSION, "
      "to_date(UNI_CREATEDATE,'yyyy/mm/dd'), to_date(UNI_MODIFYDATE,'yyyy/mm/dd'), UNI_CRYPTAGE  "
      "from TMP_UNIVERSE");
}

}  // namespace korvo::repository
