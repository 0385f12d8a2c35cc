#pragma once

#include "model/fileitem.h"

#include <QByteArray>
#include <QJsonObject>

// Appends the JSON line of a record that every listing subcommand prints:
// its members in name order, as QJsonDocument would write them, straight
// into `out` — a listing of a million records makes no object per record.
void appendRecordJson(QByteArray &out, const FileItem &item);
// One compact JSON object followed by a newline.
QByteArray jsonLine(const QJsonObject &object);
