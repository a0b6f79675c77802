#include "sim/SyntheticUnit.h"

#include <functional>

#include "config/UnitFiles.h"
#include "config/UserConfigFile.h"
#include "sim/BadPixels.h"
#include "sim/CellLayout.h"
#include "sim/Illumination.h"
#include "sim/NormalMatrix.h"
#include "sim/SeededRandom.h"
#include "sim/TransferModel.h"
#include "sim/UnitFileFormats.h"
#include "sim/UnitFolderWriter.h"
#include "sim/UnitRecord.h"
#include "sim/WhiteLid.h"

namespace kelo::sim {

namespace {

std::string writeMatrixPair(const UnitFolderWriter& writer, const std::string& fullId,
                            const DenseMatrix& transfer, const char* transferSuffix,
                            const char* normalSuffix) {
    if (std::string error =
            writer.write(unitFilePath(fullId, transferSuffix), matrixBytes(transfer));
        !error.empty())
        return error;
    return writer.write(unitFilePath(fullId, normalSuffix), matrixBytes(normalMatrix(transfer)));
}

}  // namespace

std::string writeSyntheticUnit(const SyntheticUnitOptions& options, std::ostream& log) {
    if (std::string problem = identifierProblem(options); !problem.empty()) return problem;
    const UnitModel& model = options.model;
    const std::string fullId = effectiveFullId(options);
    const SystemConfigBlock record = unitRecord(options);

    SeededRandom random(options.seed);
    const std::vector<PlacedCell> cells = placeCells(model, record, random);
    const std::vector<BadPixelRecord> badPixels = chooseBadPixels(model, record, cells, random);
    const DenseMatrix transfer = transferMatrix(model, record, cells, random);

    const UnitFolderWriter writer(options.root, log);
    const std::function<std::string()> steps[] = {
        [&] {
            return writer.write(unitFilePath(fullId, kBadPixelFileSuffix),
                                badPixelBytes(badPixels));
        },
        [&] {
            return writer.write(unitFilePath(fullId, kCellCentreFileSuffix),
                                cellCentreBytes(cells));
        },
        [&] {
            return writeMatrixPair(writer, fullId, transfer, kTransferMatrixFileSuffix,
                                   kNormalMatrixFileSuffix);
        },
        [&] {
            if (!options.gaussBlur) return std::string();
            return writeMatrixPair(writer, fullId, blurredFrameTransfer(model, transfer, cells),
                                   kBlurTransferMatrixFileSuffix, kBlurNormalMatrixFileSuffix);
        },
        [&] {
            return writer.write(unitFilePath(options.id, kWhiteLidFileSuffix),
                                whiteLidText(whiteLidCurve(model, record)));
        },
        // The user file holds the operator's settings: never replaced.
        [&] {
            return writer.writeUnlessPresent(unitFilePath(options.id, kUserFileSuffix),
                                             formatUserConfig(UserSettings{}));
        },
        // Last: a unit whose system file exists is complete.
        [&] {
            return writer.write(unitFilePath(options.id, kSystemFileSuffix),
                                systemFileBytes(record, options.oldLayout));
        },
    };
    for (const auto& step : steps)
        if (std::string error = step(); !error.empty()) return error;
    return {};
}

}  // namespace kelo::sim
