/* A plug-in for qemu's user-mode emulator that counts the guest instructions executed between the
 * markers of bench/count.cpp: close(-1, 0x5EED0000 | index << 1 | phase), phase 0 begin, 1 end.
 * For each region it prints "region INDEX COUNT" on standard error. Every translated block adds
 * its number of instructions to one counter when it runs (the emulator's inline add), so the
 * count is exact to the few instructions of the marker calls.
 *
 *   qemu-mipsel -L /usr/mipsel-linux-gnu -plugin ./qemu_insn_count.so build-mipsel/bench_count idle
 *
 * The emulator's plug-in interface is a plain C interface with a version number; the few
 * declarations it needs are written out here (version 1, as qemu 7 has it). */
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

typedef uint64_t qemu_plugin_id_t;
struct qemu_plugin_tb;
enum qemu_plugin_op { QEMU_PLUGIN_INLINE_ADD_U64 = 0 };
typedef void (*qemu_plugin_vcpu_tb_trans_cb_t)(qemu_plugin_id_t id, struct qemu_plugin_tb *tb);
typedef void (*qemu_plugin_vcpu_syscall_cb_t)(qemu_plugin_id_t id, unsigned int vcpu_index, int64_t num,
                                              uint64_t a1, uint64_t a2, uint64_t a3, uint64_t a4, uint64_t a5,
                                              uint64_t a6, uint64_t a7, uint64_t a8);

void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_tb_trans_cb_t cb);
void qemu_plugin_register_vcpu_tb_exec_inline(struct qemu_plugin_tb *tb, enum qemu_plugin_op op, void *ptr,
                                              uint64_t imm);
void qemu_plugin_register_vcpu_syscall_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_syscall_cb_t cb);
size_t qemu_plugin_tb_n_insns(const struct qemu_plugin_tb *tb);

#define EXPORT __attribute__((visibility("default")))
EXPORT int qemu_plugin_version = 1;

enum { MARK_MAGIC = 0x5EED0000, MARK_MASK = 0xFFFF0000, REGIONS = 4096 };

static uint64_t executed;            /* guest instructions so far */
static uint64_t region_start[REGIONS];

static void on_translate(qemu_plugin_id_t id, struct qemu_plugin_tb *tb)
{
    (void)id;
    qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &executed, qemu_plugin_tb_n_insns(tb));
}

static void on_syscall(qemu_plugin_id_t id, unsigned int vcpu, int64_t num, uint64_t a1, uint64_t a2, uint64_t a3,
                       uint64_t a4, uint64_t a5, uint64_t a6, uint64_t a7, uint64_t a8)
{
    (void)id; (void)vcpu; (void)num; (void)a3; (void)a4; (void)a5; (void)a6; (void)a7; (void)a8;
    uint32_t mark = (uint32_t)a2;
    if ((uint32_t)a1 != 0xFFFFFFFFu || (mark & MARK_MASK) != MARK_MAGIC)
        return;
    unsigned index = (mark & 0xFFFF) >> 1;
    if (index >= REGIONS)
        return;
    if ((mark & 1) == 0) {
        region_start[index] = executed;
        return;
    }
    fprintf(stderr, "region %u %llu\n", index, (unsigned long long)(executed - region_start[index]));
    fflush(stderr);
}

EXPORT int qemu_plugin_install(qemu_plugin_id_t id, const void *info, int argc, char **argv)
{
    (void)info; (void)argc; (void)argv;
    qemu_plugin_register_vcpu_tb_trans_cb(id, on_translate);
    qemu_plugin_register_vcpu_syscall_cb(id, on_syscall);
    return 0;
}
