#include "sha256.h"

#include <openssl/evp.h>

#include <QtGlobal>

#include <dlfcn.h>

namespace {

// The few calls the digest makes, looked up once in libcrypto, which is
// opened on the first digest rather than at every start of the program.
struct Crypto
{
    decltype(&EVP_MD_fetch) mdFetch = nullptr;
    decltype(&EVP_MD_CTX_new) ctxNew = nullptr;
    decltype(&EVP_MD_CTX_free) ctxFree = nullptr;
    decltype(&EVP_DigestInit_ex2) init = nullptr;
    decltype(&EVP_DigestUpdate) update = nullptr;
    decltype(&EVP_DigestFinal_ex) final = nullptr;
    // Fetched once: looking the algorithm up by name for every file costs more than hashing a small one.
    EVP_MD *sha256 = nullptr;

    template <typename F>
    static bool bind(void *library, const char *name, F &into)
    {
        into = reinterpret_cast<F>(::dlsym(library, name));
        return into != nullptr;
    }

    Crypto()
    {
        void *library = ::dlopen(TOVALO_LIBCRYPTO, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return;
        if (bind(library, "EVP_MD_fetch", mdFetch) && bind(library, "EVP_MD_CTX_new", ctxNew) &&
            bind(library, "EVP_MD_CTX_free", ctxFree) && bind(library, "EVP_DigestInit_ex2", init) &&
            bind(library, "EVP_DigestUpdate", update) && bind(library, "EVP_DigestFinal_ex", final))
            sha256 = mdFetch(nullptr, "SHA256", nullptr);
    }
};

const Crypto &crypto()
{
    static const Crypto c; // kept for the life of the process
    return c;
}

} // namespace

Sha256::Sha256() : m_ctx(nullptr)
{
    const Crypto &c = crypto();
    if (c.sha256)
        m_ctx = c.ctxNew();
    if (!m_ctx || c.init(m_ctx, c.sha256, nullptr) != 1) {
        // Only a broken OpenSSL installation lands here; no digest can be trusted then.
        qFatal("Tovalo: OpenSSL (%s) offers no SHA-256", TOVALO_LIBCRYPTO);
    }
}

Sha256::~Sha256()
{
    crypto().ctxFree(m_ctx);
}

void Sha256::add(const char *data, size_t length)
{
    crypto().update(m_ctx, data, length);
}

QString Sha256::hex()
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    crypto().final(m_ctx, out, &length);
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char *>(out), int(length)).toHex());
}

QString Sha256::of(const QByteArray &data)
{
    Sha256 sha;
    sha.add(data.constData(), size_t(data.size()));
    return sha.hex();
}
