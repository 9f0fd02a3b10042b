#pragma once
// A date as an Oracle session shows it under a date format model (the
// NLS_DATE_FORMAT of the session), for drivers whose server sends dates as
// values rather than text. English month and day names, as with AMERICAN.
#include <QDateTime>
#include <QString>

namespace korvo::db {

// Elements: YYYY SYYYY YYY YY Y RRRR RR Q MM MONTH MON DDD DD D DAY DY HH HH12 HH24
// MI SS AM PM A.M. P.M. FM and "quoted text"; punctuation is copied. Name
// elements follow the case of the element (MON -> JAN, Mon -> Jan, mon -> jan).
QString oracleDateText(const QDateTime& date, const QString& format);

}  // namespace korvo::db
