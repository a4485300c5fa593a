#include "CryptoRc4.h"

#include <QCryptographicHash>

#include <utility>

namespace {

constexpr int kRc4KeyBytes = 16;

} // namespace

QByteArray DeriveRc4KeyFromSha1(const QByteArray &keyBytes)
{
    return QCryptographicHash::hash(keyBytes, QCryptographicHash::Sha1).left(kRc4KeyBytes);
}

TRc4Stream::TRc4Stream(const QByteArray &key)
    : FKey(key)
{
    Reset();
}

void TRc4Stream::Reset()
{
    for (std::size_t i = 0; i < FState.size(); ++i)
        FState[i] = static_cast<std::uint8_t>(i);
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < FState.size(); ++i) {
        const auto keyByte = FKey.isEmpty() ? 0 : static_cast<std::uint8_t>(FKey[i % FKey.size()]);
        j = static_cast<std::uint8_t>(j + FState[i] + keyByte);
        std::swap(FState[i], FState[j]);
    }
    FI = 0;
    FJ = 0;
}

void TRc4Stream::Process(QByteArray &block, bool final)
{
    for (char &c : block) {
        FI = static_cast<std::uint8_t>(FI + 1);
        FJ = static_cast<std::uint8_t>(FJ + FState[FI]);
        std::swap(FState[FI], FState[FJ]);
        const std::uint8_t k = FState[static_cast<std::uint8_t>(FState[FI] + FState[FJ])];
        c = static_cast<char>(static_cast<std::uint8_t>(c) ^ k);
    }
    if (final)
        Reset();
}
