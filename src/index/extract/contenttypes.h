#pragma once

#include <QString>

// The content-type tree of an index row, most specific first, joined with
// '\n': the MIME type, then the family the searches ask for (public.image,
// public.movie, public.audio, public.text, com.adobe.pdf), then public.data.
namespace ContentTypes {

QString forFile(const QString &name);
QString forFolder();
QString forApplicationBundle();
QString forPackage();

} // namespace ContentTypes
