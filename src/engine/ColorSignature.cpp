#include "engine/ColorSignature.h"

namespace pixadra {

PackedSignature PackSignature(const ColorSignature& signature) {
    PackedSignature packed{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 3; ++k)
                packed[PackedIndex(c, r, k)] = static_cast<uint8_t>(signature[SignatureIndex(c, r, k)] & 0xFF);
    return packed;
}

ColorSignature UnpackSignature(const PackedSignature& packed) {
    ColorSignature signature{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 3; ++k) signature[SignatureIndex(c, r, k)] = packed[PackedIndex(c, r, k)];
    return signature;
}

}  // namespace pixadra
