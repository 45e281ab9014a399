#include "ZipMethod.h"

#include <zip.h>

namespace kestrel::zip {

std::string methodText(uint16_t method) {
    switch (method) {
    case ZIP_CM_STORE: return "Stored";
    case ZIP_CM_SHRINK: return "Shrunk";
    case ZIP_CM_REDUCE_1: return "Reduce1";
    case ZIP_CM_REDUCE_2: return "Reduce2";
    case ZIP_CM_REDUCE_3: return "Reduce3";
    case ZIP_CM_REDUCE_4: return "Reduce4";
    case ZIP_CM_IMPLODE: return "Implode";
    case ZIP_CM_DEFLATE: return "Deflate";
    case ZIP_CM_DEFLATE64: return "Deflat64";  // the field holds eight bytes
    case ZIP_CM_PKWARE_IMPLODE: return "Implode";
    case ZIP_CM_BZIP2: return "BZip2";
    case ZIP_CM_LZMA: return "LZMA";
    case ZIP_CM_TERSE: return "Terse";
    case ZIP_CM_LZ77: return "LZ77";
    case ZIP_CM_LZMA2: return "LZMA2";
    case 93: return "Zstd";
    case ZIP_CM_XZ: return "XZ";
    case ZIP_CM_JPEG: return "JPEG";
    case ZIP_CM_WAVPACK: return "WavPack";
    case ZIP_CM_PPMD: return "PPMd";
    default: return "Unknown";
    }
}

bool methodSupported(uint16_t method) {
    return zip_compression_method_supported(static_cast<zip_int32_t>(method), 0) != 0;
}

}  // namespace kestrel::zip
