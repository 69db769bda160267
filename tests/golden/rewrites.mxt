//| rewrites: clock tree set-up through plain assignments
cexpression clk_div  =  4
cexpression pll_mul  =12
cexpression retries  =3
//| memory-mapped registers: 0x addresses become setmem
setmem 0x40021000  =  0x00010001
setmem 0x40021004  =0x3
//| core registers: pc, sp, lr and cpsr become setreg
cexpression @pc=0x08000000
cexpression @sp=0x20008000
setreg @sp = 0x20008000
setreg @lr =0
setreg @cpsr = 0xd3
setreg @r0=0x1234
cexpression @r12  =5
//| names that merely begin with a register name stay expressions
cexpression speed  =  3
cexpression spi_mode  =  0
cexpression lr_saved  =  @lr
cexpression pc_hits  =0
cexpression step_interval  =  interval_ms
cexpression result  =  @r3  +  4
cexpression timer1
cexpression checksum(@r0, @r1)
//| value lists unfold into one element per line
cexpression lut  [0]=1
cexpression lut  [1]=2
cexpression lut  [2]=3

cexpression taps  [0]=3
cexpression taps  [1]=5
cexpression taps  [2]=7

cexpression coeffs[0]=1
cexpression coeffs[1]=2

setmem 0x20000000  [0]=1
setmem 0x20000000  [1]=2
setmem 0x20000000  [2]=3
setmem 0x20000000  [3]=4

cexpression gains  [0]=10
cexpression gains  [1]=20
cexpression gains  [2]=30

//| run until a condition holds
gostep until(tick_count >= 100)
gostep until(state != 3)
gostep until(main\state == 2)
gostep until( count == 0)
stepl 5
//WARNING: while has been removed from step as unsupported
stepinstr 
stepoinstr 
stepoinstr
//| images
load/pd/r
load/pd/r  'boot.elf'
load/pd/r  'app.elf;;-v'
//| memory listing
dump 0x08000000  ..0x20
dump 0x08000000 
//| aliases
alias
alias bt = where
bt
alias where_am_i = bt
where_am_i
alias clr_wdt = setmem 0x40003000  =  0xAAAA
clr_wdt
//No available conversion of command:	alias rst hw_reset
//No available conversion of command:	rst
