#include "sha256.h"

#include <openssl/evp.h>

#include <QtGlobal>

namespace {

// Fetched once: looking the algorithm up by name for every file costs more than hashing a small one.
const EVP_MD *sha256()
{
    static EVP_MD *md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return md;
}

} // namespace

Sha256::Sha256() : m_ctx(EVP_MD_CTX_new())
{
    if (!m_ctx || !sha256() || EVP_DigestInit_ex2(m_ctx, sha256(), nullptr) != 1) {
        // Only a broken OpenSSL installation lands here; no digest can be trusted then.
        qFatal("Tovalo: OpenSSL offers no SHA-256");
    }
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(m_ctx);
}

void Sha256::add(const char *data, size_t length)
{
    EVP_DigestUpdate(m_ctx, data, length);
}

QString Sha256::hex()
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_ctx, out, &length);
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char *>(out), int(length)).toHex());
}

QString Sha256::of(const QByteArray &data)
{
    Sha256 sha;
    sha.add(data.constData(), size_t(data.size()));
    return sha.hex();
}
