#pragma once
// Logon and driver errors in Oracle's own words, so that the embedded engine
// and a real server refuse a connection with the same text.

namespace korvo::db {

inline constexpr const char* kInvalidLogon = "ORA-01017: invalid username/password; logon denied";
inline constexpr const char* kNullPassword = "ORA-01005: null password given; logon denied";
inline constexpr const char* kDefaultUsername =
    "ORA-01004: default username feature not supported; logon denied";
inline constexpr const char* kUnresolvedAlias =
    "ORA-12154: TNS:could not resolve the connect identifier specified";
inline constexpr const char* kNotConnected = "ORA-03114: not connected to ORACLE";

}  // namespace korvo::db
