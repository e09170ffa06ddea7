/* A small C program, printed with keyword highlighting. */
#include <stdio.h>

static int square(int n)
{
    return n * n; /* keywords bold, comments in italics */
}

int main(void)
{
    for (int i = 1; i <= 5; i++) {
        if (i % 2 == 0)
            printf("%d squared is %d\n", i, square(i));
        else
            printf("odd: %d\n", i);
    }
    return 0;
}
