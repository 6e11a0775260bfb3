/* The calling contract of Newton and Sorvik3 on 32-bit x86, seen from a
 * caller built apart from them: both are exported by their plain names, take
 * four doubles on the stack with the first on top, remove those 32 bytes
 * themselves, keep the callee-saved registers and the x87 control word, and
 * return their result as the only value on the x87 stack, with the caller's
 * stack aligned to 16 bytes or only to 4. Sorvik3's result is a single.
 * Prints one line per check; ends with 1 when one fails. */
#include "pelkadi/newton.h"
#include "sorvik3/sorvik3.h"

#include <dlfcn.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#if !defined(__i386__)
#error "the calling contract checked here is that of 32-bit x86"
#endif

typedef double(__attribute__((stdcall)) * Entry)(double, double, double, double);

/* What one call by hand saw. Environments are those of FNSTENV in 32-bit
 * protected mode: control word, status word, tag word, then the pointers. */
struct HandCall {
    uint32_t before[7]; /* the x87 before the call */
    uint32_t after[7];  /* after the return, the result still on it */
    uint32_t popped[7]; /* after the caller has taken the result off */
    uint32_t espBeforePushes;
    uint32_t espAtCall;
    uint32_t espAfter;
    long double st0; /* the result as it came back, all 80 bits */
};
_Static_assert(offsetof(struct HandCall, after) == 28, "handCall stores at fixed offsets");
_Static_assert(offsetof(struct HandCall, popped) == 56, "handCall stores at fixed offsets");
_Static_assert(offsetof(struct HandCall, espBeforePushes) == 84,
               "handCall stores at fixed offsets");
_Static_assert(offsetof(struct HandCall, espAtCall) == 88, "handCall stores at fixed offsets");
_Static_assert(offsetof(struct HandCall, espAfter) == 92, "handCall stores at fixed offsets");
_Static_assert(offsetof(struct HandCall, st0) == 96, "handCall stores at fixed offsets");

/* handCall(entry, arguments, adjust, record): calls entry as a caller written
 * in assembly would, with the stack 16-byte aligned less `adjust` bytes at the
 * call instruction. It pushes the four doubles itself, the last first (each
 * double high word first), so that arguments[0] lies on top, and records the
 * stack pointer and the x87 state around the call. */
void handCall(Entry entry, const double arguments[4], uint32_t adjust, struct HandCall* record)
    __attribute__((visibility("hidden")));
__asm__(".text\n"
        ".globl handCall\n"
        ".hidden handCall\n"
        ".type handCall, @function\n"
        "handCall:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    movl 8(%ebp), %eax\n"  /* entry */
        "    movl 12(%ebp), %ecx\n" /* arguments */
        "    movl 16(%ebp), %edx\n" /* adjust */
        "    movl 20(%ebp), %ebx\n" /* record */
        "    fnclex\n"
        "    fnstenv 0(%ebx)\n"
        "    fldenv 0(%ebx)\n" /* FNSTENV masks the exceptions: put them back */
        "    andl $-16, %esp\n"
        "    subl %edx, %esp\n"
        "    movl %esp, 84(%ebx)\n"
        "    pushl 28(%ecx)\n" /* the fourth argument, high word */
        "    pushl 24(%ecx)\n"
        "    pushl 20(%ecx)\n"
        "    pushl 16(%ecx)\n"
        "    pushl 12(%ecx)\n"
        "    pushl 8(%ecx)\n"
        "    pushl 4(%ecx)\n"
        "    pushl 0(%ecx)\n" /* the first argument, low word: on top */
        "    movl %esp, 88(%ebx)\n"
        "    call *%eax\n"
        "    movl %esp, 92(%ebx)\n"
        "    fnstenv 28(%ebx)\n"
        "    fldenv 28(%ebx)\n"
        "    fstpt 96(%ebx)\n"
        "    fnstenv 56(%ebx)\n"
        "    fldenv 56(%ebx)\n"
        "    leal -12(%ebp), %esp\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n"
        ".size handCall, .-handCall\n");

static int failures = 0;

static void report(int ok, const char* what) {
    printf("%s: %s\n", what, ok ? "ok" : "FAIL");
    failures += !ok;
}

static unsigned controlWord(const uint32_t env[7]) {
    return env[0] & 0xffff;
}
static unsigned top(const uint32_t env[7]) {
    return (env[1] >> 11) & 7;
}
static unsigned tags(const uint32_t env[7]) {
    return env[2] & 0xffff;
}
enum { allEmpty = 0xffff, stackFault = 0x40 };

/* Exactly one x87 register in use, and it is ST(0). */
static int onlyST0(const uint32_t env[7]) {
    const unsigned st0 = top(env);
    for (unsigned r = 0; r < 8; ++r) {
        const unsigned empty = ((tags(env) >> (2 * r)) & 3) == 3;
        if (empty == (r == st0)) {
            return 0;
        }
    }
    return 1;
}

static uint64_t bits(double value) {
    uint64_t result;
    memcpy(&result, &value, sizeof result);
    return result;
}

static Entry lookUp(const char* name) {
    void* symbol = dlsym(RTLD_DEFAULT, name);
    Entry entry;
    memcpy(&entry, &symbol, sizeof entry);
    return entry;
}

struct Case {
    const char* text;
    Entry* entry;
    double arguments[4];
    int single; /* the result carries single precision only */
};

int main(void) {
    char line[256];

    /* Exported by the plain names; the decorations of stdcall elsewhere
     * (Newton@32, _Newton@32) do not exist. */
    Entry newton = lookUp("Newton");
    Entry sorvik3 = lookUp("Sorvik3");
    const char* decorated[] = {"Newton@32",  "_Newton@32",  "_Newton",
                               "Sorvik3@32", "_Sorvik3@32", "_Sorvik3"};
    int noDecorated = 1;
    for (size_t i = 0; i < sizeof decorated / sizeof decorated[0]; ++i) {
        noDecorated &= dlsym(RTLD_DEFAULT, decorated[i]) == NULL;
    }
    report(newton != NULL && sorvik3 != NULL && noDecorated,
           "the entries are found by the names Newton and Sorvik3, no decorated name exists");
    if (newton == NULL || sorvik3 == NULL) {
        return 1;
    }

    /* Through a stdcall pointer and through the declarations: the worked
     * case of Sorvik3, a closed form of Newton. */
    const double worked = sorvik3(100, 900, 0, 30);
    snprintf(line, sizeof line, "Sorvik3(100, 900, 0, 30) through a stdcall pointer is %.17g",
             worked);
    report(worked == 0.21995049715042114, line);
    report(bits(Sorvik3(100, 900, 0, 30)) == bits(worked),
           "Sorvik3 called as declared gives the same bits");
    const double closedForm = newton(100, 19, 9, 0);
    snprintf(line, sizeof line, "Newton(100, 19, 9, 0) through a stdcall pointer is %.17g",
             closedForm);
    report(closedForm > 3 - 1e-12 && closedForm < 3 + 1e-12, line);
    report(bits(Newton(100, 19, 9, 0)) == bits(closedForm),
           "Newton called as declared gives the same bits");

    const struct Case cases[] = {
        {"Sorvik3(100, 900, 0, 30)", &sorvik3, {100, 900, 0, 30}, 1},
        {"Sorvik3(140, 2400, 12.5, 45)", &sorvik3, {140, 2400, 12.5, 45}, 1},
        {"Newton(238.43, 153.125, 1.65e-5, 19.54)",
         &newton,
         {238.42993252595157, 153.125, 0.00406 * 0.00406, 4.42 * 4.42},
         0},
        {"Newton(100, 19, 9, 0)", &newton, {100, 19, 9, 0}, 0},
    };
    for (size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        const struct Case* k = &cases[c];
        const double byPointer =
            (*k->entry)(k->arguments[0], k->arguments[1], k->arguments[2], k->arguments[3]);
        for (uint32_t off = 0; off < 16; off += 4) {
            /* Named before the call, so that a crash shows which call it was. */
            printf("%s by hand, stack %2u bytes off 16 at the call: ", k->text, off);
            fflush(stdout);
            struct HandCall call;
            memset(&call, 0, sizeof call);
            handCall(*k->entry, k->arguments, (16 - off) % 16, &call);
            const double result = (double)call.st0;
            const int stackKept = call.espAfter == call.espBeforePushes &&
                                  call.espAtCall == call.espBeforePushes - 32 &&
                                  call.espAtCall % 16 == off;
            const int x87Kept = tags(call.before) == allEmpty && onlyST0(call.after) &&
                                top(call.after) == ((top(call.before) - 1) & 7) &&
                                (call.after[1] & stackFault) == 0 &&
                                controlWord(call.after) == controlWord(call.before) &&
                                tags(call.popped) == allEmpty &&
                                top(call.popped) == top(call.before);
            const int value = bits(result) == bits(byPointer) && (long double)result == call.st0 &&
                              (!k->single || (double)(float)result == result);
            snprintf(line, sizeof line,
                     "ESP back by %d bytes, x87 %s, ST(0) %.17Lg%s, as through the pointer %s",
                     (int)(call.espAfter - call.espAtCall),
                     x87Kept ? "empty -> ST(0) alone -> empty" : "state wrong", call.st0,
                     k->single ? " (a single)" : " (a double)",
                     bits(result) == bits(byPointer) ? "yes" : "no");
            report(stackKept && x87Kept && value, line);
        }
    }

    printf("%s\n", failures == 0 ? "the calling contract holds" : "the calling contract is broken");
    return failures == 0 ? 0 : 1;
}
