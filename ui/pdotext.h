#pragma once

#include <QString>

struct PDOConfig;

// "RxPDO 3" / "TxPDO 3": the PDO's short description. A name that starts with
// RPDO or TPDO and its number gives it as always; any other name (real files say
// "Receive PDO Communication Parameter 2" or "RPDO 3 mapping") gives it from the
// PDO's number instead.
QString pdoDescriptionText(const PDOConfig &pdo);

// A COB-ID as the tables show it: the identifier in upper-case hexadecimal,
// then its flag bits apart: "185", "185 no RTR", "1234567 29-bit".
QString cobIdText(quint32 cobId);
