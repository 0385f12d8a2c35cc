#pragma once

#include <QLoggingCategory>

// "tovalo.index": the indexer, its store and its queries log under one name.
Q_DECLARE_LOGGING_CATEGORY(lcIndex)
