#pragma once

#include <QString>

class CanObject;
struct PDOConfig;

// Ties the slave to its EDS: 1 when the file was read and the slave filled,
// 0 for an empty path or an unreadable file.
int loadEdsIntoSlave(CanObject &slave, const QString &path);

// The device's default configuration: every PDO with a valid default COB-ID,
// with its default mapping placed in PLC memory.
void buildDefaultPdos(CanObject &slave);

// Maps the default objects of one PDO of the slave and places each of them.
void addDefaultMapping(CanObject &slave, PDOConfig &pdo);
