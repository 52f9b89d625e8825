#include "pages/JpegEncoder.h"

#include "pages/JpegScanCoder.h"
#include "pages/PageImaging.h"

#include <algorithm>
#include <csetjmp>
#include <new>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <jpeglib.h>

// libjpeg reports errors by calling error_exit, which must not return: it jumps back
// to the setjmp of the call that was running, and the encoder is marked failed.
// Nothing with a destructor lives between those setjmp calls and libjpeg.
struct JpegEncoder::State
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errorManager{};
    std::jmp_buf jump;
    jpeg_destination_mgr destination{};
    QByteArray bytes;
    // Progressive pictures are coded by the scan coder; what libjpeg writes itself
    // (the headers of a plain picture) goes into `discarded`, over and over.
    std::shared_ptr<JpegScanCoder> scanCoder;
    JOCTET discarded[4096];
    bool failed = false;
    bool finished = false;

    static State *of(j_compress_ptr cinfo) { return static_cast<State *>(cinfo->client_data); }

    static void errorExit(j_common_ptr cinfo) { std::longjmp(static_cast<State *>(cinfo->client_data)->jump, 1); }
    static void outputMessage(j_common_ptr) {} // warnings are not shown

    // The encoded bytes go into `bytes`, which doubles whenever it is full.
    static void initDestination(j_compress_ptr cinfo)
    {
        State *s = of(cinfo);
        if (s->scanCoder) {
            discard(cinfo);
            return;
        }
        s->destination.next_output_byte = reinterpret_cast<JOCTET *>(s->bytes.data());
        s->destination.free_in_buffer = size_t(s->bytes.size());
    }
    static boolean emptyOutputBuffer(j_compress_ptr cinfo)
    {
        State *s = of(cinfo);
        const qsizetype used = s->bytes.size();
        s->bytes.resize(used * 2);
        s->destination.next_output_byte = reinterpret_cast<JOCTET *>(s->bytes.data() + used);
        s->destination.free_in_buffer = size_t(s->bytes.size() - used);
        return TRUE;
    }
    static boolean discard(j_compress_ptr cinfo)
    {
        State *s = of(cinfo);
        s->destination.next_output_byte = s->discarded;
        s->destination.free_in_buffer = sizeof s->discarded;
        return TRUE;
    }
    static void termDestination(j_compress_ptr cinfo)
    {
        State *s = of(cinfo);
        if (s->scanCoder)
            return;
        s->bytes.resize(s->bytes.size() - qsizetype(s->destination.free_in_buffer));
    }
};

JpegEncoder::JpegEncoder(const QSize &size, const JpegSettings &settings, QByteArray memory,
                         std::shared_ptr<JpegScanCoder> scanCoder)
    : m_state(std::make_unique<State>())
{
    State *s = m_state.get();
    // Typical size of a page picture; growing is rare.
    s->bytes = std::move(memory);
    s->bytes.resize(std::max({qsizetype(4096), qsizetype(size.width()) * size.height() / 4, s->bytes.capacity()}));
    s->cinfo.err = jpeg_std_error(&s->errorManager);
    s->errorManager.error_exit = State::errorExit;
    s->errorManager.output_message = State::outputMessage;
    s->cinfo.client_data = s;
    if (setjmp(s->jump)) {
        s->failed = true;
        return;
    }
    jpeg_create_compress(&s->cinfo);
    s->destination.init_destination = State::initDestination;
    s->destination.empty_output_buffer = State::emptyOutputBuffer;
    s->destination.term_destination = State::termDestination;
    s->cinfo.dest = &s->destination;
    s->cinfo.image_width = JDIMENSION(std::max(1, size.width()));
    s->cinfo.image_height = JDIMENSION(std::max(1, size.height()));
    s->cinfo.input_components = 3;
    s->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s->cinfo);
    jpeg_set_quality(&s->cinfo, std::clamp(settings.quality, 0, 100), TRUE);
    if (settings.progressive) {
        // Always with tables made for the picture: the scan coder counts the symbols
        // as it makes them.
        s->scanCoder = scanCoder ? std::move(scanCoder) : std::make_shared<JpegScanCoder>();
        s->destination.empty_output_buffer = State::discard;
    } else {
        s->cinfo.optimize_coding = settings.optimizeCoding ? TRUE : FALSE;
    }
    s->cinfo.density_unit = 1; // dots per inch, as Qt marks its pictures
    s->cinfo.X_density = 96;
    s->cinfo.Y_density = 96;
    jpeg_start_compress(&s->cinfo, TRUE);
    if (s->scanCoder && !s->scanCoder->attach(&s->cinfo))
        s->failed = true;
}

JpegEncoder::~JpegEncoder()
{
    jpeg_destroy_compress(&m_state->cinfo);
}

void JpegEncoder::addRows(const uchar *first, qsizetype stride, int count)
{
    State *s = m_state.get();
    if (s->failed || s->finished)
        return;
    if (setjmp(s->jump)) {
        s->failed = true;
        return;
    }
    for (int i = 0; i < count && s->cinfo.next_scanline < s->cinfo.image_height; ++i) {
        JSAMPROW row = const_cast<JSAMPROW>(first + i * stride);
        jpeg_write_scanlines(&s->cinfo, &row, 1);
    }
}

QByteArray JpegEncoder::finish()
{
    State *s = m_state.get();
    if (!s->finished && !s->failed) {
        if (setjmp(s->jump)) {
            s->failed = true;
        } else if (s->cinfo.next_scanline < s->cinfo.image_height) {
            s->failed = true; // rows missing: the picture would be cut off
        } else {
            jpeg_finish_compress(&s->cinfo);
            s->finished = true;
            try {
                if (s->scanCoder && !s->scanCoder->write(s->bytes))
                    s->failed = true;
            } catch (const std::bad_alloc &) {
                s->failed = true; // no memory for the file
            }
        }
    }
    return s->failed ? QByteArray() : std::move(s->bytes);
}

std::shared_ptr<JpegScanCoder> JpegEncoder::takeScanCoder()
{
    return std::move(m_state->scanCoder);
}

QByteArray JpegEncoder::encode(const QImage &image, const JpegSettings &settings)
{
    if (image.isNull())
        return {};
    const QImage source = image.format() == QImage::Format_RGB888 ? image : PageImaging::opaque(image);
    JpegEncoder encoder(source.size(), settings);
    encoder.addRows(source.constBits(), source.bytesPerLine(), source.height());
    return encoder.finish();
}
