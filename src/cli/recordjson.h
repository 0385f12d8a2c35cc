#pragma once

#include "model/fileitem.h"

#include <QByteArray>
#include <QJsonObject>

// The JSON form of a record that every listing subcommand prints.
QJsonObject recordJson(const FileItem &item);
// One compact JSON object followed by a newline.
QByteArray jsonLine(const QJsonObject &object);
