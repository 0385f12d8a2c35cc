#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

typedef struct evp_md_ctx_st EVP_MD_CTX;

// A running SHA-256 through OpenSSL (opened on first use), which uses the processor's SHA
// instructions where it has them.
class Sha256 final
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void add(const char *data, size_t length);
    // 64 lower-case hex digits of everything added; ends the digest.
    QString hex();

    static QString of(const QByteArray &data);

private:
    EVP_MD_CTX *m_ctx;
};
